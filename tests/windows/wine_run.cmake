# Runs a Windows PROGRAM with ARGS under WINE and passes when it exits 0 and
# its standard output matches EXPECT (a regular expression).
execute_process(COMMAND ${WINE} ${PROGRAM} ${ARGS} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
  TIMEOUT 100)
string(REGEX REPLACE "ALSA lib[^\n]*\n" "" err "${err}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} under Wine exited with ${rc}:\n${err}")
endif()
if(NOT out MATCHES "${EXPECT}")
  message(FATAL_ERROR "${PROGRAM} under Wine did not print '${EXPECT}':\n${out}")
endif()
message(STATUS "ok")
