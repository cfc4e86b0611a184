# Reads the import tables of MODULE with OBJDUMP and checks the sound
# service's imports: DSOUND.dll gives exactly one import, by ordinal 1 and
# without a name; WINMM.dll, KERNEL32.dll and USER32.dll give the named calls.
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${MODULE}")
endif()

# The import entries of one library: the lines after its "DLL Name:" up to
# the next blank line.
function(imports_of dll out)
  string(TOUPPER "${dll}" wanted)
  string(REPLACE "\n" ";" lines "${dump}")
  set(inside FALSE)
  set(entries "")
  foreach(line IN LISTS lines)
    if(line MATCHES "DLL Name: (.+)$")
      string(TOUPPER "${CMAKE_MATCH_1}" name)
      string(STRIP "${name}" name)
      if(name STREQUAL wanted)
        set(inside TRUE)
      else()
        set(inside FALSE)
      endif()
    elseif(inside AND line MATCHES "^[ \t]*$")
      set(inside FALSE)
    elseif(inside AND NOT line MATCHES "Hint/Ord")
      string(STRIP "${line}" entry)
      list(APPEND entries "${entry}")
    endif()
  endforeach()
  set(${out} "${entries}" PARENT_SCOPE)
endfunction()

imports_of(DSOUND.dll dsound)
list(LENGTH dsound count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "${MODULE}: expected one import from DSOUND.dll, found ${count}: ${dsound}")
endif()
if(NOT dsound MATCHES "^80000001[ \t]+1[ \t]+<none>$")
  message(FATAL_ERROR "${MODULE}: DSOUND.dll is not imported by ordinal 1 alone: ${dsound}")
endif()

foreach(pair
    "WINMM.dll:mmioOpenA" "WINMM.dll:mmioDescend" "WINMM.dll:mmioRead" "WINMM.dll:mmioAscend" "WINMM.dll:mmioClose"
    "USER32.dll:FindWindowA"
    "KERNEL32.dll:GetModuleFileNameA" "KERNEL32.dll:FindResourceA" "KERNEL32.dll:LoadResource"
    "KERNEL32.dll:LockResource" "KERNEL32.dll:SizeofResource" "KERNEL32.dll:FreeResource"
    "KERNEL32.dll:GlobalAlloc" "KERNEL32.dll:GlobalLock" "KERNEL32.dll:GlobalUnlock" "KERNEL32.dll:GlobalFree")
  string(REPLACE ":" ";" parts "${pair}")
  list(GET parts 0 dll)
  list(GET parts 1 call)
  imports_of(${dll} entries)
  if(NOT entries MATCHES "(^|;)[0-9a-f]+[ \t]+[0-9]+[ \t]+${call}(;|$)")
    message(FATAL_ERROR "${MODULE}: ${call} is not imported from ${dll}")
  endif()
endforeach()
message(STATUS "sound imports ok: DSOUND.dll ordinal 1; ${dsound}")
