# The wave load harness drives the sound service itself over the tests'
# own resource module.
target_sources(wave_load_fuzz PRIVATE ${PROJECT_SOURCE_DIR}/sound/sound.cpp)
target_compile_definitions(wave_load_fuzz PRIVATE WAVE_TEST_MODULE_PATH="$<TARGET_FILE:wave_test_module>")
add_dependencies(wave_load_fuzz wave_test_module)
