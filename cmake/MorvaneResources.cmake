# The resources of a gauge module, from its resource script.
#
#   morvane_module_resources(<target> <script.rc>)
#
# The script lists one resource per line, as
#   <number or NAME> BITMAP "<file>"     or     <number> WAVE "<file>"
# after a single "LANGUAGE <primary>, <sub>" statement; files are relative to
# the script's directory. On Windows the script is compiled into the module
# by the resource compiler. Elsewhere the same resources are embedded into
# the module with the bytes Windows would hold (a bitmap without its 14-byte
# file header, a wave file whole) and a directory table that the platform
# library's resource functions read.
#
# Resources whose file is not there yet are left out with a warning, so the
# module builds while its artwork is being made; the resource check of the
# Windows build reports them as missing.
function(morvane_module_resources target script)
  get_filename_component(base ${script} DIRECTORY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${script})
  # New artwork makes the build look at the script again.
  file(GLOB present CONFIGURE_DEPENDS ${base}/bitmaps/* ${base}/waves/*)

  file(STRINGS ${script} lines)
  set(language "")
  set(kept_lines "")
  set(entries "")  # id|type|file
  set(missing "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*LANGUAGE[ \t]+([0-9xXa-fA-F]+)[ \t]*,[ \t]*([0-9xXa-fA-F]+)")
      if(NOT language STREQUAL "")
        message(FATAL_ERROR "${script}: more than one LANGUAGE statement")
      endif()
      math(EXPR language "${CMAKE_MATCH_1} + (${CMAKE_MATCH_2} << 10)")
      string(APPEND kept_lines "${line}\n")
    elseif(line MATCHES "^[ \t]*([A-Za-z0-9_]+)[ \t]+(BITMAP|WAVE)[ \t]+\"([^\"]+)\"")
      set(file ${base}/${CMAKE_MATCH_3})
      if(EXISTS ${file})
        list(APPEND entries "${CMAKE_MATCH_1}|${CMAKE_MATCH_2}|${file}")
        string(APPEND kept_lines "${line}\n")
      else()
        list(APPEND missing ${CMAKE_MATCH_3})
      endif()
    elseif(line MATCHES "^[ \t]*[A-Za-z0-9]")
      message(FATAL_ERROR "${script}: cannot read the line '${line}'")
    else()
      string(APPEND kept_lines "${line}\n")
    endif()
  endforeach()
  if(language STREQUAL "")
    message(FATAL_ERROR "${script}: no LANGUAGE statement")
  endif()
  if(missing)
    list(LENGTH missing n)
    list(GET missing 0 first)
    message(WARNING "${target}: ${n} resource files of ${script} are missing (first: ${first}); "
                    "the module is built without them")
  endif()

  set(files "")
  foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 2 file)
    list(APPEND files ${file})
  endforeach()

  if(WIN32)
    if(missing)
      set(compiled ${CMAKE_CURRENT_BINARY_DIR}/${target}_present.rc)
      file(WRITE ${compiled}.new "${kept_lines}")
      file(COPY_FILE ${compiled}.new ${compiled} ONLY_IF_DIFFERENT)
    else()
      set(compiled ${script})
    endif()
    target_sources(${target} PRIVATE ${compiled})
    set_source_files_properties(${compiled} TARGET_DIRECTORY ${target} PROPERTIES
      INCLUDE_DIRECTORIES ${base} OBJECT_DEPENDS "${files}")
    return()
  endif()

  # The embedded directory: each resource's bytes by .incbin, and the table.
  set(asm "")
  set(decls "")
  set(table "")
  set(index 0)
  foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 id)
    list(GET fields 1 kind)
    list(GET fields 2 file)
    set(sym module_resource_${index})
    set(skip "")
    if(kind STREQUAL "BITMAP")
      file(READ ${file} magic LIMIT 2 HEX)
      if(NOT magic STREQUAL "424d")
        message(FATAL_ERROR "${file}: not a bitmap file (no BM header)")
      endif()
      set(skip ", 14")
      set(type "MODULE_RESOURCE_TYPE_BITMAP, nullptr")
    else()
      set(type "0, \"${kind}\"")
    endif()
    if(id MATCHES "^[0-9]+$")
      set(name "${id}, nullptr")
    else()
      string(TOUPPER "${id}" upper)
      set(name "0, \"${upper}\"")
    endif()
    string(APPEND asm "    \"${sym}:\\n .incbin \\\"${file}\\\"${skip}\\n${sym}_end:\\n .balign 4\\n\"\n")
    string(APPEND decls "extern const unsigned char ${sym}[], ${sym}_end[];\n")
    string(APPEND table "    {${type}, ${name}, ${language}, ${sym}, ${sym}_end},\n")
    math(EXPR index "${index} + 1")
  endforeach()
  if(index EQUAL 0)
    set(table "    {},\n")
  endif()

  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  file(WRITE ${source}.new
"// Generated from ${script}: the resources of ${target}, embedded.
#include \"framework/host_records.h\"
#include \"platform/linux/resources_directory.h\"

asm(\".pushsection .rodata.module_resources,\\\"a\\\"\\n .balign 4\\n\"
${asm}    \".popsection\\n\");

extern \"C\" {
#pragma GCC visibility push(hidden)
${decls}#pragma GCC visibility pop
}

static const ModuleResource module_resources[] = {
${table}};

MODULE_EXPORT const ModuleResourceDirectory module_resource_directory = {
    MODULE_RESOURCE_MAGIC, ${index}, module_resources};
")
  file(COPY_FILE ${source}.new ${source} ONLY_IF_DIFFERENT)
  target_sources(${target} PRIVATE ${source})
  set_source_files_properties(${source} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${files}")
endfunction()
