#pragma once
// A shared library checked as a file before the loader is given it. The
// loader maps each loadable segment's range of the file without asking
// whether the file holds it all: a library cut short then dies of a bus error
// on its first touch of the part that is missing, and a pipe or a device
// makes it block or fault. What the headers say beyond where the file's bytes
// are is the loader's to judge.

#include <optional>
#include <string>

namespace host {

// Why the loader must not be given the file: not a regular file, no ELF
// shared library of this build's word size and byte order, or one whose
// program headers or loadable segments end past the end of the file. Nothing
// for a whole library.
std::optional<std::string> LibraryFileProblem(const std::string& path);

}  // namespace host
