# Shared settings for the gauge modules.

# A gauge module: a shared library named exactly as the host loads it
# ("Name.gau" on Windows, "Name.so" here), exporting only Linkage and
# ImportTable.
function(morvane_gauge_module target)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti)
  if(NOT WIN32)
    # The module's own references to its tables bind inside the module,
    # whatever the loading program defines.
    target_link_options(${target} PRIVATE -Wl,-Bsymbolic)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      # No unique symbols, so that unloading the module really unloads it
      # and the next load starts with fresh module-wide state.
      target_compile_options(${target} PRIVATE -fno-gnu-unique)
    endif()
  endif()
  if(WIN32)
    set_target_properties(${target} PROPERTIES SUFFIX ".gau")
    # The host loads the module alone: the C and C++ runtimes are linked in
    # so that it imports nothing but system libraries.
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--kill-at)
  endif()
endfunction()
