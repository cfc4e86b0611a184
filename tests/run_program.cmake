# Runs PROGRAM with ARGS (under EMULATOR from the environment when one is
# set, for cross builds) and leaves its exit status, output and error
# output in rc, out and err. Included by the expect_*.cmake scripts.
if(DEFINED ENV{EMULATOR})
  set(RUN $ENV{EMULATOR} ${PROGRAM})
else()
  set(RUN ${PROGRAM})
endif()
execute_process(COMMAND ${RUN} ${ARGS} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
