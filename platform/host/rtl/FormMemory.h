#pragma once
// How much memory the tree of records that a reader makes may take. A form is
// read whole, and a few bytes of it can stand for a value of two hundred (a
// list of millions of one-byte integers): a reader stops at a budget tied to
// the size of its input rather than at whatever the machine lets it have.

#include <cstddef>
#include <string>

#include <platform/host/rtl/FormStream.h>

namespace host {

// A value's own share: its items and collection items are counted as each is read.
inline std::size_t MemoryOf(const TFormValue& value) {
    return sizeof value + value.Text.size() + value.Wide.size() * sizeof(char16_t) +
           value.Names.size() * sizeof(String);
}

class TFormMemoryBudget {
public:
    static constexpr std::size_t kPerInputByte = 6;
    static constexpr std::size_t kFloor = std::size_t{64} << 20;

    explicit TFormMemoryBudget(std::size_t inputSize) : limit_(kFloor + kPerInputByte * inputSize) {}

    // Counts `bytes` more; false once the tree has passed its budget.
    bool Charge(std::size_t bytes) {
        used_ += bytes;
        return used_ <= limit_;
    }

    std::string Exceeded() const {
        return "the form would take more than " + std::to_string(limit_ >> 20) + " MiB of memory to read (" +
               std::to_string(kPerInputByte) + " times its size, and " + std::to_string(kFloor >> 20) + " MiB)";
    }

private:
    std::size_t limit_;
    std::size_t used_ = 0;
};

}  // namespace host
