# The parameter-string harness also runs the module's parameter rules
# directly on an exactly sized copy of each string.
target_sources(${name} PRIVATE
  ${PROJECT_SOURCE_DIR}/framework/parameters.cpp
  ${PROJECT_SOURCE_DIR}/framework/panel_commands.cpp
  ${PROJECT_SOURCE_DIR}/framework/engine_instancing.cpp)
