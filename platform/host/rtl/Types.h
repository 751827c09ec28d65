#pragma once
// The host framework's basic types.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace host {

// 8-bit bytes in the system code page; may hold NUL bytes.
using String = std::string;
using Integer = std::int32_t;
using Boolean = bool;

// A length byte and up to N characters. Assigning a longer text keeps its
// first N characters.
template <std::size_t N>
class ShortString {
    static_assert(N >= 1 && N <= 255, "a short string holds 1 to 255 characters");

public:
    ShortString() = default;
    ShortString(std::string_view text) { *this = text; }  // NOLINT: converts like the host's

    ShortString& operator=(std::string_view text) {
        length_ = static_cast<std::uint8_t>(std::min(text.size(), N));
        std::copy_n(text.data(), length_, chars_);
        return *this;
    }

    operator String() const { return String(chars_, length_); }  // NOLINT: converts like the host's
    std::string_view view() const { return {chars_, length_}; }
    std::size_t Length() const { return length_; }
    static constexpr std::size_t Capacity() { return N; }

    friend bool operator==(const ShortString& a, std::string_view b) { return a.view() == b; }

private:
    std::uint8_t length_ = 0;
    char chars_[N] = {};
};

// `set of E` for an enumeration of up to 32 members: bit n stands for ordinal n.
template <typename E>
class TSet {
public:
    TSet() = default;
    TSet(std::initializer_list<E> members) {
        for (E member : members) Include(member);
    }
    static TSet FromBits(std::uint32_t bits) {
        TSet set;
        set.bits_ = bits;
        return set;
    }
    void Include(E member) {
        if (Ordinal(member) < 32) bits_ |= 1u << Ordinal(member);
    }
    bool Contains(E member) const { return Ordinal(member) < 32 && ((bits_ >> Ordinal(member)) & 1u); }
    std::uint32_t Bits() const { return bits_; }
    friend bool operator==(TSet, TSet) = default;

private:
    static unsigned Ordinal(E member) { return static_cast<unsigned>(member); }
    std::uint32_t bits_ = 0;
};

}  // namespace host
