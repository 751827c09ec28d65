#pragma once
// What saving a file over the one read, or writing a new one, refuses, and
// how a file written over where it is gets its old bytes back: the same on
// every platform, whichever calls do the writing.

#include <stdexcept>
#include <string>
#include <string_view>

namespace saverefusals {

inline std::runtime_error ReplacedSinceRead(std::string_view path) {
    return std::runtime_error(std::string(path) +
                              " was replaced since it was read (another program or inspector saved it, or put"
                              " another file there): not saved");
}

inline std::runtime_error ChangedSinceRead(std::string_view path) {
    return std::runtime_error(std::string(path) +
                              " was changed since it was read (by another program or inspector): not saved");
}

inline std::runtime_error ReadOnly(std::string_view path) {
    return std::runtime_error(std::string(path) + " is read-only: not saved");
}

inline std::runtime_error ReplacedWhileSaved(std::string_view path) {
    return std::runtime_error(std::string(path) + " was replaced while it was saved");
}

inline std::runtime_error ExistsAlready(std::string_view path) {
    return std::runtime_error(std::string(path) + " exists already: not overwritten");
}

// The room for the new bytes could not be taken; `whole` when the file was
// brought back to its old size.
inline std::runtime_error NoRoom(std::string_view why, bool whole) {
    return std::runtime_error(std::string(why) + (whole ? ": not saved" : ": it may have grown"));
}

// Writes `content` from the start of a file that must stay the same file;
// should that fail, `oldContent` is written back the same way, and the
// refusal says whether it could be.
template <typename WriteFromStart>
void WriteOrPutBack(std::string_view content, std::string_view oldContent, WriteFromStart write) {
    try {
        write(content);
    } catch (const std::runtime_error& error) {
        try {
            write(oldContent);
        } catch (const std::runtime_error&) {
            throw std::runtime_error(std::string(error.what()) + "; its old bytes could not be put back either");
        }
        throw std::runtime_error(std::string(error.what()) + ": not saved");
    }
}

}  // namespace saverefusals
