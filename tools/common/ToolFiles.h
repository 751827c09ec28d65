#pragma once
// The files the tools read and write, and their standard output. A hostile or
// mistaken argument (a device, a pipe, a file of gigabytes) is refused before
// a byte of it is read, so that a tool never blocks on it nor runs out of
// memory; a write that fails is named with its file and the system's reason.
// Header-only: the build tools, the host and the ombral tool each take it in
// without a library of its own, in every tree.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include <platform/host/rtl/BasicText.h>

namespace toolfiles {

// The most a file of some kind may hold, and what the kind is called in the
// refusal of a larger one: "any form file".
struct SizeLimit {
    std::uintmax_t bytes;
    std::string_view kind;
};

// "16 MiB", "2 GiB": limits are whole powers of two, and read best so.
inline std::string ByteCount(std::uintmax_t bytes) {
    constexpr std::uintmax_t kMiB = 1u << 20, kGiB = kMiB << 10;
    if (bytes % kGiB == 0) return std::to_string(bytes / kGiB) + " GiB";
    if (bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

inline std::string SystemReason(int error) { return std::generic_category().message(error); }

// std::runtime_error naming the file and why, for anything but a regular file
// within the limit. It only asks the file system: a FIFO is never opened.
inline void CheckRegularFile(const std::string& path, const SizeLimit& limit) {
    namespace fs = std::filesystem;
    std::error_code error;
    const auto status = fs::status(path, error);
    if (error) throw std::runtime_error(host::CannotText("read", path, error));
    if (!fs::is_regular_file(status)) throw std::runtime_error(path + " is not a regular file");
    if (fs::file_size(path, error) > limit.bytes && !error)
        throw std::runtime_error(path + " is larger than " + ByteCount(limit.bytes) + ", more than " +
                                 std::string(limit.kind));
}

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The whole of a file that CheckRegularFile lets through, as a std::string or
// a std::vector of bytes; read no further than the limit should it grow
// while it is read.
template <class Bytes = std::string>
Bytes ReadRegularFile(const std::string& path, const SizeLimit& limit) {
    CheckRegularFile(path, limit);
    const File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) throw std::runtime_error(host::CannotText("read", path, errno));
    Bytes bytes;
    char buffer[1 << 16];
    for (std::size_t n = sizeof buffer; n == sizeof buffer && bytes.size() <= limit.bytes;) {
        n = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    if (std::ferror(file.get())) throw std::runtime_error(host::CannotText("read", path, errno));
    if (bytes.size() > limit.bytes) throw std::runtime_error(path + " grew past " + ByteCount(limit.bytes));
    return bytes;
}

// Writes `data` to `path`, made anew or emptied first; std::runtime_error
// naming the file and why it could not be written whole.
inline void WriteFile(const std::string& path, std::string_view data) {
    const auto failed = [&path] { return std::runtime_error(host::CannotText("write", path, errno)); };
    File file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file || std::fwrite(data.data(), 1, data.size(), file.get()) != data.size()) throw failed();
    // Buffered bytes meet a full disk only when the file is closed.
    if (std::fclose(file.release()) != 0) throw failed();
}

// At the end of a tool's run: whether all it printed reached standard output.
// Where it did not, says why on standard error, as "TOOL: cannot write ...".
inline bool FlushStandardOutput(std::string_view tool) {
    errno = 0;
    std::cout.flush();
    if (std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout) return true;
    std::cerr << tool << ": cannot write standard output: "
              << (errno ? SystemReason(errno) : std::string("an earlier write failed")) << '\n';
    return false;
}

}  // namespace toolfiles
