#include <platform/host/rtl/PackageInfo.h>

#include <algorithm>
#include <string>

namespace host {

namespace {

// A cursor over the resource that refuses to step past its end.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    std::size_t Left() const { return bytes_.size() - at_; }

    std::uint8_t Byte(const String& field) {
        Need(1, field);
        return static_cast<std::uint8_t>(bytes_[at_++]);
    }

    std::uint32_t Word(const String& field) {
        Need(4, field);
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= std::uint32_t{static_cast<std::uint8_t>(bytes_[at_++])} << (8 * i);
        return value;
    }

    // A count of entries of at least minSize bytes each: negative counts and
    // counts the remaining bytes cannot hold are refused before anything is
    // allocated for them.
    std::size_t Count(const String& field, std::size_t minSize) {
        const std::size_t at = at_;
        const auto count = static_cast<std::int32_t>(Word(field));
        if (count < 0) Fail(field + " is negative (" + std::to_string(count) + ")", at);
        if (static_cast<std::size_t>(count) > Left() / minSize)
            Fail(field + " is " + std::to_string(count) + ", more than the " + std::to_string(Left()) +
                     " bytes after it can hold",
                 at);
        return static_cast<std::size_t>(count);
    }

    String Name(const String& field) {
        const std::size_t end = bytes_.find('\0', at_);
        if (end == std::string_view::npos) Fail(field + " has no terminating NUL", at_);
        if (end == at_) Fail(field + " is empty", at_);
        String name(bytes_.substr(at_, end - at_));
        at_ = end + 1;
        return name;
    }

    TPackageName HashedName(const String& field) {
        const std::uint8_t hash = Byte(field + " (its hash)");
        return {hash, Name(field)};
    }

    void Padding() {
        if (Left() > 3 || std::any_of(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), bytes_.end(),
                                      [](char c) { return c != '\0'; }))
            Fail(std::to_string(Left()) + " unexpected bytes after the last field", at_);
    }

    [[noreturn]] static void Fail(const String& what, std::size_t at) {
        throw EPackageError("PACKAGEINFO: " + what + " at offset " + std::to_string(at));
    }

private:
    void Need(std::size_t size, const String& field) const {
        if (Left() < size) Fail("truncated in " + field, at_);
    }

    std::string_view bytes_;
    std::size_t at_ = 0;
};

String Nth(const char* what, std::size_t index, std::size_t count) {
    return String(what) + " " + std::to_string(index + 1) + " of " + std::to_string(count);
}

}  // namespace

TPackageInfo ReadPackageInfo(std::string_view Bytes, int Release) {
    Reader in(Bytes);
    TPackageInfo info;
    info.Flags = in.Word("the flags");
    // A required package takes at least its hash, one character and its NUL;
    // a contained module one byte more for its flags.
    const std::size_t required = in.Count("the required-package count", 3);
    for (std::size_t i = 0; i < required; ++i) info.Requires.push_back(in.HashedName(Nth("required package", i, required)));
    const std::size_t contained = in.Count("the contained-module count", 4);
    for (std::size_t i = 0; i < contained; ++i) {
        const String field = Nth("contained module", i, contained);
        const std::uint8_t flags = in.Byte(field + " (its flags)");
        TPackageName name = in.HashedName(field);
        info.Contains.push_back({flags, name.Hash, std::move(name.Name)});
    }
    if (Release >= 6) info.Package = in.HashedName("the package name");
    in.Padding();
    return info;
}

}  // namespace host
