# The trace program refuses bad input the way every tool here does: a
# non-zero exit, the input named in its error, and no file left at NO_FILE.
file(REMOVE ${NO_FILE})
include(${CMAKE_CURRENT_LIST_DIR}/../../tests/expect_failure.cmake)
if(EXISTS ${NO_FILE})
  message(FATAL_ERROR "a failed run left ${NO_FILE} behind")
endif()
