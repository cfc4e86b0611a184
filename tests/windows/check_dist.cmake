# Builds the dist package, unpacks it into a fresh folder and checks it:
# exactly the four files; the .gau files are the ones built; the install
# note names every gauge; the panel.cfg fragment reads with the previewer's
# layout reader and places every gauge of both modules (a short flight of
# the Windows trace program under Wine on the unpacked modules).
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target dist RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "building the dist target failed:\n${out}${err}")
endif()
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/unpacked)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ZIP} WORKING_DIRECTORY ${OUT}/unpacked RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${ZIP} does not unpack: ${err}")
endif()
set(dir ${OUT}/unpacked)

file(GLOB_RECURSE found RELATIVE ${dir} ${dir}/*)
list(SORT found)
set(expected INSTALL.txt Morvane_Instr.gau Telvor_Flaps.gau panel.cfg)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "${ZIP} holds '${found}', expected '${expected}'")
endif()
foreach(pair "Morvane_Instr.gau;${INSTR}" "Telvor_Flaps.gau;${FLAPS}")
  list(GET pair 0 name)
  list(GET pair 1 built)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${dir}/${name} ${built} RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${name} in the package is not the module built at ${built}")
  endif()
endforeach()

# Every gauge of both modules, as the Windows host finds them in the
# unpacked files.
execute_process(COMMAND ${WINE} ${HOST} --module ${dir}/Morvane_Instr.gau --module ${dir}/Telvor_Flaps.gau --cycles 0
  RESULT_VARIABLE rc OUTPUT_VARIABLE listing ERROR_VARIABLE err TIMEOUT 120)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the Windows host cannot load the unpacked modules (${rc}): ${err}")
endif()
string(REGEX MATCHALL "(^|\n)[A-Za-z][A-Za-z_0-9]* " names "${listing}")
list(TRANSFORM names STRIP)
list(REMOVE_DUPLICATES names)
list(LENGTH names count)
if(NOT count EQUAL 51)
  message(FATAL_ERROR "expected the 51 gauges of both modules, the host lists ${count}: ${names}")
endif()

file(READ ${dir}/INSTALL.txt note)
foreach(name IN LISTS names)
  string(FIND "${note}" "${name}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "INSTALL.txt does not name the gauge ${name}")
  endif()
endforeach()

execute_process(COMMAND ${WINE} ${TRACE} --module ${dir}/Morvane_Instr.gau --module ${dir}/Telvor_Flaps.gau
                        --layout ${dir}/panel.cfg --seconds 0.2 --output ${OUT}/fragment.trace
  RESULT_VARIABLE rc ERROR_VARIABLE err TIMEOUT 120)
string(REGEX REPLACE "ALSA lib[^\n]*\n" "" err "${err}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the panel.cfg fragment does not fly (${rc}): ${err}")
endif()
file(STRINGS ${OUT}/fragment.trace placed REGEX "^  g[0-9]+\\.0 ")
list(TRANSFORM placed REPLACE "^  g[0-9]+\\.0 ([A-Za-z_0-9]+) .*" "\\1")
list(REMOVE_DUPLICATES placed)
foreach(name IN LISTS names)
  list(FIND placed ${name} at)
  if(at EQUAL -1)
    message(FATAL_ERROR "panel.cfg does not place the gauge ${name}")
  endif()
endforeach()
message(STATUS "package ok: ${found}; the fragment places all ${count} gauges")
