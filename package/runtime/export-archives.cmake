# cmake -DNM=nm -DLIBRARY=name.dll -DOUTPUT=file.def -DARCHIVES="a.a;b.a" [-DPREFIX=_] -P export-archives.cmake
# Writes a module-definition file that exports every global symbol the
# archives define. Data (initialised, read-only or zeroed) is marked DATA so
# that the import library holds no code thunk under its name: a module that
# takes the address of a vtable or a type_info must get the object itself.
execute_process(COMMAND ${NM} -g --defined-only ${ARCHIVES}
  OUTPUT_VARIABLE listing ERROR_VARIABLE diagnostics RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${ARCHIVES}: ${diagnostics}")
endif()
# i686 symbols carry a leading underscore (PREFIX) that a .def leaves out;
# x86-64 ones carry none. Names that begin with a dot (.weak.* aliases of the
# linker, .refptr.* pointers) are not symbols of the code.
string(REGEX MATCHALL "[0-9a-f]+ [TDRB] ${PREFIX}[^.\n][^\n]*" entries "${listing}")
set(exports)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^[0-9a-f]+ ([TDRB]) ${PREFIX}(.*)$" "\\1;\\2" parts "${entry}")
  list(GET parts 0 kind)
  list(GET parts 1 name)
  if(kind STREQUAL "T")
    list(APPEND exports "  ${name}")
  else()
    list(APPEND exports "  ${name} DATA")
  endif()
endforeach()
# Inline and template code is defined in many objects at once.
list(REMOVE_DUPLICATES exports)
list(LENGTH exports count)
if(count EQUAL 0)
  message(FATAL_ERROR "${ARCHIVES} define no global symbol")
endif()
list(JOIN exports "\n" body)
file(WRITE ${OUTPUT}.new "LIBRARY \"${LIBRARY}\"\nEXPORTS\n${body}\n")
file(RENAME ${OUTPUT}.new ${OUTPUT})
