// The framework's PACKAGEINFO reader over the resource bytes the package
// DLLs carry, and over damaged ones.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <package/resources/PackageResources.h>
#include <platform/host/rtl/PackageInfo.h>

namespace {

using host::EPackageError;
using host::ReadPackageInfo;
using host::TContainedModule;
using host::TPackageInfo;
using host::TPackageName;

using Bytes = std::string;

Bytes Word32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

TPackageName Named(const std::string& name) { return {pkgres::NameHash(name), name}; }

TPackageInfo Expected(int release, std::vector<std::string> required) {
    const std::string self = "ombral" + std::to_string(release);
    TPackageInfo info;
    info.Flags = 0x4C000001;
    for (const auto& name : required) info.Requires.push_back(Named(name));
    for (const char* name : {"", "pOlvexAbout", "SysInit", "Ombralcompreg", "OmbralCreateUnit", "OmbralCodeUnit"}) {
        const std::string module = *name ? name : self;
        info.Contains.push_back({static_cast<std::uint8_t>(*name ? 0x00 : 0x03), pkgres::NameHash(module), module});
    }
    if (release == 6) info.Package = Named(self);
    return info;
}

TEST(PackageInfoReader, ReadsEachReleasesResource) {
    EXPECT_EQ(ReadPackageInfo(pkgres::PackageInfo(4), 4), Expected(4, {"vcl40"}));
    EXPECT_EQ(ReadPackageInfo(pkgres::PackageInfo(5), 5), Expected(5, {"vcl50"}));
    EXPECT_EQ(ReadPackageInfo(pkgres::PackageInfo(6), 6), Expected(6, {"designide60.bpl", "vcl60.bpl"}));
}

// Cut anywhere before the last name's NUL, every release's resource is
// refused; from there on only padding is missing, which a reader may forgo.
TEST(PackageInfoReader, RefusesTheResourceCutShortAtEveryByte) {
    for (int release : {4, 5, 6}) {
        const Bytes full = pkgres::PackageInfo(release);
        const std::size_t lastName = full.find_last_not_of('\0') + 2;
        for (std::size_t cut = 0; cut < full.size(); ++cut) {
            const std::string_view bytes(full.data(), cut);
            if (cut < lastName)
                EXPECT_THROW(ReadPackageInfo(bytes, release), EPackageError) << "release " << release << ", cut at " << cut;
            else
                EXPECT_NO_THROW(ReadPackageInfo(bytes, release)) << "release " << release << ", cut at " << cut;
        }
    }
}

TEST(PackageInfoReader, RefusesDamagedResourcesNamingTheFault) {
    const Bytes flags = Word32(0x4C000001);
    const Bytes vcl50 = static_cast<char>(pkgres::NameHash("vcl50")) + Bytes("vcl50", 5) + '\0';
    const Bytes oneModule = Word32(1) + Bytes(1, '\x03') + vcl50;
    struct Case {
        const char* what;
        Bytes bytes;
        int release;
        const char* message;
    };
    const Case cases[] = {
        {"negative required count", flags + Word32(0xFFFFFFFF) + Word32(0), 5, "required-package count is negative (-1) at offset 4"},
        {"huge required count", flags + Word32(0x7FFFFFFF) + vcl50, 5, "required-package count is 2147483647, more than"},
        {"negative module count", flags + Word32(1) + vcl50 + Word32(0x80000000), 5, "contained-module count is negative"},
        {"huge module count", flags + Word32(1) + vcl50 + Word32(1000), 5, "contained-module count is 1000, more than"},
        {"unterminated required name", flags + Word32(1) + Bytes("\x51vcl50", 6), 5, "required package 1 of 1 has no terminating NUL"},
        {"unterminated module name", flags + Word32(0) + Word32(1) + Bytes("\x03\x10ombral5", 9), 5,
         "contained module 1 of 1 has no terminating NUL"},
        {"empty required name", flags + Word32(1) + Bytes("\x00\x00", 2) + Word32(0), 5, "required package 1 of 1 is empty"},
        {"no flags at all", Bytes("\x01\x00", 2), 5, "truncated in the flags at offset 0"},
        {"bytes after the last field", flags + Word32(0) + oneModule + Bytes("junk"), 5, "unexpected bytes after the last field"},
        {"non-zero padding", flags + Word32(0) + oneModule + Bytes(1, '\x01'), 5, "1 unexpected bytes"},
        {"release 6 without its package name", pkgres::PackageInfo(5), 6, "the package name"},
        {"release 6's name read as release 5", pkgres::PackageInfo(6), 5, "unexpected bytes after the last field"},
    };
    for (const Case& c : cases) {
        try {
            ReadPackageInfo(c.bytes, c.release);
            ADD_FAILURE() << c.what << ": read without complaint";
        } catch (const EPackageError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.what << ": " << error.what();
        }
    }
}

}  // namespace
