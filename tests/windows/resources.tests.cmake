# The resource sections of the built modules, checked against their tables
# by pe_check, which is compiled for this machine with its own compiler.
find_program(NATIVE_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(PE_CHECK_DIR ${PROJECT_SOURCE_DIR}/tools/pe_check)
set(PE_CHECK ${CMAKE_BINARY_DIR}/tools/pe_check/pe_check)
add_custom_command(OUTPUT ${PE_CHECK}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools/pe_check
  COMMAND ${NATIVE_CXX} -std=c++20 -O1 -o ${PE_CHECK} ${PE_CHECK_DIR}/main.cpp ${PE_CHECK_DIR}/pe_resources.cpp
  DEPENDS ${PE_CHECK_DIR}/main.cpp ${PE_CHECK_DIR}/pe_resources.cpp ${PE_CHECK_DIR}/pe_resources.h
  COMMENT "Building pe_check for the build machine"
  VERBATIM)
add_custom_target(pe_check_native ALL DEPENDS ${PE_CHECK})

if(TARGET Morvane_Instr)
  set(MORVANE_TABLES --bitmaps ${PROJECT_SOURCE_DIR}/resources/bitmap_sizes.txt
                     --waves ${PROJECT_SOURCE_DIR}/resources/wave_formats.txt)
  add_test(NAME Morvane_Instr_resources
    COMMAND ${PE_CHECK} --language 1036 ${MORVANE_TABLES} $<TARGET_FILE:Morvane_Instr>)
  # The check itself fails, naming the module, on a wrong expectation.
  add_test(NAME pe_check_reports_wrong_language
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=${PE_CHECK}
            "-DARGS=--language;1033;${MORVANE_TABLES};$<TARGET_FILE:Morvane_Instr>"
            "-DEXPECT=language 1036, expected 1033" -DMULTILINE=1
            -P ${PROJECT_SOURCE_DIR}/tests/expect_failure.cmake)
  add_test(NAME pe_check_reports_missing_module
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=${PE_CHECK}
            "-DARGS=--language;1036;${MORVANE_TABLES};${CMAKE_BINARY_DIR}/no_such_module.gau"
            "-DEXPECT=no_such_module.gau: cannot open" -P ${PROJECT_SOURCE_DIR}/tests/expect_failure.cmake)
endif()

# Telvor_Flaps: its own table, language English (United States).
if(TARGET Telvor_Flaps AND EXISTS ${PROJECT_SOURCE_DIR}/flaps_module/bitmap_sizes.txt)
  set(FLAPS_TABLES --language 1033 --bitmaps ${PROJECT_SOURCE_DIR}/flaps_module/bitmap_sizes.txt)
  add_test(NAME Telvor_Flaps_resources
    COMMAND ${PE_CHECK} ${FLAPS_TABLES} --version 1.1.0.0 --product telvor_flaps $<TARGET_FILE:Telvor_Flaps>)
  # A wrong expectation of the version block is named.
  add_test(NAME pe_check_reports_wrong_version
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=${PE_CHECK}
            "-DARGS=${FLAPS_TABLES};--version;1.2.0.0;--product;telvor_flaps;$<TARGET_FILE:Telvor_Flaps>"
            "-DEXPECT=version block: file version" -DMULTILINE=1
            -P ${PROJECT_SOURCE_DIR}/tests/expect_failure.cmake)
endif()
