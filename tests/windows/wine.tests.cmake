# The real Windows modules run: the Windows build of the test host loads
# Morvane_Instr.gau and Telvor_Flaps.gau under Wine (Debian's wine32), flies
# the built-in circuit and must draw, send and play exactly what the Linux
# modules do. Wine's sound goes to ALSA's null device, so the module's own
# sound code creates the device and buffers and plays through the system's
# sound library.
#
# The tests are registered whether Wine is here or not: each looks for wine
# and its 32-bit half when it runs, and where one is missing it
# reports skipped with the reason (exit 77) instead of running.
set(MORVANE_WINE_NEEDS bash ${PROJECT_SOURCE_DIR}/tests/run_when_available.sh
  --program wine "Debian package wine" --wine32 --)
if(TARGET morvane_trace)
  set(wine_home ${CMAKE_BINARY_DIR}/wine-home)
  # ALSA's default device is the null plugin: everything played is taken
  # and thrown away at the device's own pace.
  file(WRITE ${wine_home}/.asoundrc "pcm.!default {\n  type null\n}\nctl.!default {\n  type hw\n  card 0\n}\n")
  # A machine without sound: the ALSA default names a card that is not
  # there.
  set(wine_silent_home ${CMAKE_BINARY_DIR}/wine-home-silent)
  file(WRITE ${wine_silent_home}/.asoundrc "pcm.!default {\n  type hw\n  card 99\n}\nctl.!default {\n  type hw\n  card 99\n}\n")
  set(wine_environment
    WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDEBUG=-all HOME=${wine_home}
    "WINEDLLOVERRIDES=mscoree,mshtml=" DISPLAY=)
  # The Linux trace program of the same sources, from the native build.
  set(MORVANE_LINUX_TRACE ${PROJECT_SOURCE_DIR}/build/native/bin/morvane-trace
      CACHE FILEPATH "The Linux morvane-trace whose trace the Windows run must match")

  # The first start creates the prefix (about 20 s); the tests share it.
  add_test(NAME wine_prefix
    COMMAND ${MORVANE_WINE_NEEDS} ${CMAKE_COMMAND} -DWINE=wine -DWINESERVER=wineserver
            -P ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.cmake)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 240
    ENVIRONMENT "${wine_environment}" RUN_SERIAL TRUE SKIP_RETURN_CODE 77)

  add_test(NAME wine_host_loads_both_modules
    COMMAND ${MORVANE_WINE_NEEDS} ${CMAKE_COMMAND} -DWINE=wine -DPROGRAM=$<TARGET_FILE:gaugehost_cli>
            -DARGS=--module\;$<TARGET_FILE:Morvane_Instr>\;--module\;$<TARGET_FILE:Telvor_Flaps>\;--cycles\;2
            "-DEXPECT=51 gauges installed.*OMI +2 elements, 1 click areas.*telvor_flaps +2 elements, 2 click areas"
            -P ${CMAKE_CURRENT_LIST_DIR}/wine_run.cmake)
  set_tests_properties(wine_host_loads_both_modules PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 120
    ENVIRONMENT "${wine_environment}" SKIP_RETURN_CODE 77)

  add_test(NAME wine_trace_matches_linux
    COMMAND ${MORVANE_WINE_NEEDS} ${CMAKE_COMMAND} -DWINE=wine -DWINDOWS_TRACE=$<TARGET_FILE:morvane_trace>
            -DLINUX_TRACE=${MORVANE_LINUX_TRACE}
            -DMODULES=$<TARGET_FILE:Morvane_Instr>\;$<TARGET_FILE:Telvor_Flaps>
            -DOUT=${CMAKE_CURRENT_BINARY_DIR}/trace
            -P ${CMAKE_CURRENT_LIST_DIR}/compare_traces.cmake)
  set_tests_properties(wine_trace_matches_linux PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300
    ENVIRONMENT "${wine_environment}"
    SKIP_RETURN_CODE 77 SKIP_REGULAR_EXPRESSION "skipped: no Linux trace program")
endif()

if(TARGET morvane_trace)
  add_test(NAME wine_trace_without_sound_matches_linux
    COMMAND ${MORVANE_WINE_NEEDS} ${CMAKE_COMMAND} -DWINE=wine -DWINDOWS_TRACE=$<TARGET_FILE:morvane_trace>
            -DLINUX_TRACE=${MORVANE_LINUX_TRACE} -DSILENT=ON
            -DMODULES=$<TARGET_FILE:Morvane_Instr>\;$<TARGET_FILE:Telvor_Flaps>
            -DOUT=${CMAKE_CURRENT_BINARY_DIR}/trace_silent
            -P ${CMAKE_CURRENT_LIST_DIR}/compare_traces.cmake)
  string(REPLACE "HOME=${wine_home}" "HOME=${wine_silent_home}" wine_silent_environment "${wine_environment}")
  set_tests_properties(wine_trace_without_sound_matches_linux PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300
    ENVIRONMENT "${wine_silent_environment}"
    SKIP_RETURN_CODE 77 SKIP_REGULAR_EXPRESSION "skipped: no Linux trace program")
endif()
