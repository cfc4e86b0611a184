# Flies the built-in circuit twice, with the Windows trace program on the
# real .gau files under Wine and with the Linux trace program on the Linux
# modules, and passes when the two traces are identical. The Windows run
# must also have played its sounds through the system's sound library, each
# confirmed by the buffer's own status. With SILENT, a machine without a
# sound device: the system's library refuses the device (Wine's ALSA default
# names no card), the Linux layer is told to refuse it, and the module's
# silent path must give the same panel on both.
if(NOT EXISTS "${LINUX_TRACE}")
  message(STATUS "skipped: no Linux trace program at ${LINUX_TRACE} (build the native preset first)")
  return()
endif()
file(MAKE_DIRECTORY ${OUT})
set(windows_trace ${OUT}/windows.trace)
set(linux_trace ${OUT}/linux.trace)
file(REMOVE ${windows_trace} ${linux_trace})

set(module_args)
foreach(m ${MODULES})
  list(APPEND module_args --module ${m})
endforeach()
if(SILENT)
  set(windows_sound --no-sound-device)
  set(linux_sound --no-sound-device)
else()
  set(windows_sound --require-sound)
  set(linux_sound)
endif()
string(TIMESTAMP started "%s")
execute_process(COMMAND ${WINE} ${WINDOWS_TRACE} ${module_args} --output ${windows_trace} ${windows_sound}
  RESULT_VARIABLE rc ERROR_VARIABLE err TIMEOUT 240)
string(TIMESTAMP finished "%s")
# ALSA's probing lines are harmless; keep what the program said.
string(REGEX REPLACE "ALSA lib[^\n]*\n" "" err "${err}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the Windows trace under Wine failed (${rc}):\n${err}")
endif()
message(STATUS "Windows run under Wine: ${err}")
math(EXPR wine_seconds "${finished} - ${started}")
message(STATUS "Windows run took ${wine_seconds} s")

execute_process(COMMAND ${LINUX_TRACE} --output ${linux_trace} ${linux_sound} RESULT_VARIABLE rc ERROR_VARIABLE err TIMEOUT 240)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the Linux trace failed (${rc}):\n${err}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${linux_trace} ${windows_trace} RESULT_VARIABLE differ)
if(differ)
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND ${DIFF} -u ${linux_trace} ${windows_trace} OUTPUT_VARIABLE difference)
    string(SUBSTRING "${difference}" 0 4000 difference)
  endif()
  message(FATAL_ERROR "the Windows modules drew, sent or played something else than the Linux ones:\n${difference}")
endif()
file(STRINGS ${windows_trace} faults REGEX "^  fault ")
if(faults)
  message(FATAL_ERROR "the host saw the modules break its contract:\n${faults}")
endif()
file(SIZE ${linux_trace} bytes)
message(STATUS "identical traces (${bytes} bytes)")
