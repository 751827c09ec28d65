# cmake -DDIR=resources -DNAMES="PACKAGEINFO;..." -DOUTPUT=file.cpp -P this file
# Writes the C++ source of the table of the package's RCDATA resources that a
# POSIX library carries, from the files DIR/NAME.bin the generator wrote.
cmake_minimum_required(VERSION 3.25)
set(arrays)
set(rows)
list(LENGTH NAMES count)
foreach(name IN LISTS NAMES)
  file(READ ${DIR}/${name}.bin hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "(..)" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char k${name}[] = {${bytes}};\n")
  string(APPEND rows "    {\"${name}\", k${name}, ${size}},\n")
endforeach()
file(WRITE ${OUTPUT}.new "// Generated from the package's resources.
#include <platform/host/rtl/Packages.h>

namespace {
${arrays}
const host::PackageResource kResources[] = {
${rows}};
}  // namespace

extern \"C\" const host::PackageResourceTable OmbralPackageResources{${count}, kResources};
")
file(RENAME ${OUTPUT}.new ${OUTPUT})
