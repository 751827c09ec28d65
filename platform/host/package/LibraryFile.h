#pragma once
// A package library checked as a file before the system's loader is given it.
// Neither loader asks whether what the headers point at is there: the POSIX
// loader maps each loadable segment's range of the file however short the
// file is, and a library cut short dies of a bus error on its first touch of
// the part that is missing; Windows follows a DLL's export and resource
// tables wherever they point, and GetProcAddress or a resource read then
// faults in the host. A pipe or a device makes either block or fault. What
// the headers say beyond the tables the host follows is the loader's to judge.

#include <optional>
#include <string>

namespace host {

// Why the loader must not be given the file, or nothing for a whole library.
// On POSIX: not a regular file, no ELF shared library of this build's word
// size and byte order, or one whose program headers or loadable segments end
// past the end of the file. On Windows: not a regular file, no PE DLL of this
// build's machine, or one whose export or resource tables, or the names, data
// and addresses they list, lie outside the image.
std::optional<std::string> LibraryFileProblem(const std::string& path);

}  // namespace host
