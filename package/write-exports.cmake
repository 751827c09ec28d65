# cmake -DTABLE=exports.txt -DRELEASE=5 -DCOUNT=81 [-DFORMAT=def|cpp -DENTRY=symbol -DOUTPUT=file] -P this file
# Checks the package's export table (ordinals 1 to COUNT in order, each name
# once) and writes it for one release: as the module-definition file of the
# Win32 DLL, or as the C++ source of the table that a POSIX library carries
# in place of the names an ELF symbol cannot hold.
cmake_minimum_required(VERSION 3.25)
file(STRINGS ${TABLE} lines REGEX "^[^#]")
set(expected 1)
set(names)
set(rows)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([0-9]+) ([^ ]+) ([^ ]+)( DATA)?$")
    message(FATAL_ERROR "${TABLE}: not 'ORDINAL NAME SYMBOL [DATA]': ${line}")
  endif()
  set(ordinal ${CMAKE_MATCH_1})
  set(name ${CMAKE_MATCH_2})
  set(symbol ${CMAKE_MATCH_3})
  set(data ${CMAKE_MATCH_4})
  if(NOT ordinal EQUAL expected)
    message(FATAL_ERROR "${TABLE}: ordinal ${ordinal} where ${expected} belongs")
  endif()
  if(name IN_LIST names)
    message(FATAL_ERROR "${TABLE}: ${name} twice")
  endif()
  list(APPEND names ${name})
  math(EXPR expected "${expected} + 1")
  # The package module is named after the release; release 4 codes a
  # Boolean parameter as 4bool, where the later ones write o.
  string(REPLACE "@Ombral5@" "@Ombral${RELEASE}@" name "${name}")
  if(RELEASE EQUAL 4)
    string(REGEX REPLACE "\\$qqro$" "$qqr4bool" name "${name}")
  endif()
  if(symbol STREQUAL "{entry}")
    set(symbol ${ENTRY})
  endif()
  if(FORMAT STREQUAL "def")
    string(APPEND rows "  \"${name}\" = ${symbol} @${ordinal}${data}\n")
  elseif(FORMAT STREQUAL "cpp")
    string(MAKE_C_IDENTIFIER "export_${ordinal}" id)
    string(APPEND declarations "extern char ${id}[] __asm__(\"${symbol}\");\n")
    string(APPEND rows "    {\"${name}\", ${id}},\n")
  endif()
endforeach()
list(LENGTH names count)
if(NOT count EQUAL COUNT)
  message(FATAL_ERROR "${TABLE}: ${count} exports, not ${COUNT}")
endif()
if(FORMAT STREQUAL "def")
  set(text "LIBRARY \"ombral${RELEASE}.bpl\"\nEXPORTS\n${rows}")
elseif(FORMAT STREQUAL "cpp")
  set(text "// Generated from the package's export table.
#include <platform/host/rtl/Packages.h>

${declarations}
namespace {
const host::PackageExport kExports[] = {
${rows}};
}  // namespace

extern \"C\" const host::PackageExportTable OmbralPackageExports{${COUNT}, kExports};
")
else()
  return()
endif()
file(WRITE ${OUTPUT}.new "${text}")
file(RENAME ${OUTPUT}.new ${OUTPUT})
