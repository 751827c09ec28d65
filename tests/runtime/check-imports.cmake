# cmake -DOBJDUMP=objdump -DMODULE=file "-DDLLS=a.dll;b.dll" -DRUNTIME=rt.dll "-DFROM_RUNTIME=f;g"
#       -P check-imports.cmake
# Fails unless MODULE imports from exactly the DLLs DLLS (in any case) and
# imports each name of FROM_RUNTIME (none when empty) from RUNTIME.
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${MODULE} failed")
endif()
string(TOLOWER "${dump}" dump)

string(REGEX MATCHALL "dll name: [^\n]+" lines "${dump}")
list(TRANSFORM lines REPLACE "^dll name: " "")
list(SORT lines)
string(TOLOWER "${DLLS}" expected)
list(SORT expected)
if(NOT lines STREQUAL expected)
  message(FATAL_ERROR "${MODULE} imports from ${lines}, expected ${expected}")
endif()

if(FROM_RUNTIME)
  # The names a DLL gives stand between its "dll name:" line and the next.
  string(TOLOWER "${RUNTIME}" runtime)
  string(FIND "${dump}" "dll name: ${runtime}\n" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "${MODULE} imports nothing from ${RUNTIME}")
  endif()
  string(SUBSTRING "${dump}" ${start} -1 block)
  string(FIND "${block}" "\n\n" end)
  string(SUBSTRING "${block}" 0 ${end} block)
  foreach(name IN LISTS FROM_RUNTIME)
    string(TOLOWER "${name}" name)
    if(NOT block MATCHES "[ \t]${name}(\n|$)")
      message(FATAL_ERROR "${MODULE} does not import ${name} from ${RUNTIME}")
    endif()
  endforeach()
endif()
