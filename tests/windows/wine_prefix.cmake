# Creates (or brings up to date) the Wine prefix the Windows tests share,
# and waits until Wine has finished with it.
execute_process(COMMAND ${WINE} wineboot --init RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET TIMEOUT 200)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "wineboot failed (${rc}): ${err}")
endif()
execute_process(COMMAND ${WINESERVER} -w TIMEOUT 200)
if(NOT EXISTS "$ENV{WINEPREFIX}/system.reg")
  message(FATAL_ERROR "no Wine prefix at $ENV{WINEPREFIX}")
endif()
message(STATUS "Wine prefix ready: $ENV{WINEPREFIX}")
