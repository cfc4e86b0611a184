# The sound service's system calls in Morvane_Instr.gau: the sound library
# by ordinal 1 alone, the multimedia file calls, the resource, memory,
# module-name and window calls.
if(TARGET Morvane_Instr)
  add_test(NAME Morvane_Instr_sound_imports
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${MINGW_OBJDUMP} -DMODULE=$<TARGET_FILE:Morvane_Instr>
            -P ${CMAKE_CURRENT_LIST_DIR}/check_sound_imports.cmake)
endif()
