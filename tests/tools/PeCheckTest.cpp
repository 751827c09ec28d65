// The PE reader and pecheck, over a DLL that the cross compiler built from
// tests/tools/pe and over damaged copies of it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <tuple>

#include <Listing.h>
#include <platform/host/package/PeImage.h>
#include <platform/host/rtl/BasicText.h>

#include "support/Files.h"
#include "support/Processes.h"

using testing::HasSubstr;

namespace {

using namespace ombralpe;
using Bytes = std::vector<std::uint8_t>;

std::uint32_t Get32(const Bytes& file, std::size_t at) {
    std::uint32_t value;
    std::memcpy(&value, &file.at(at + 3) - 3, 4);
    return value;
}
void Put32(Bytes& file, std::size_t at, std::uint32_t value) { std::memcpy(&file.at(at + 3) - 3, &value, 4); }
void Put16(Bytes& file, std::size_t at, std::uint16_t value) { std::memcpy(&file.at(at + 1) - 1, &value, 2); }

// Why the reader refuses `file`, or nothing where it reads it.
std::optional<std::string> Refusal(Bytes file) {
    try {
        PeImage image(std::move(file));
        return std::nullopt;
    } catch (const PeError& error) {
        return error.what();
    }
}

// Grows the last section by `size` zero bytes at the end of the file; the RVA they start at.
std::uint32_t Grow(Bytes& file, std::uint32_t size) {
    std::size_t pe = Get32(file, 0x3C), count = Get32(file, pe + 6) & 0xFFFF;
    auto last = pe + 24 + (Get32(file, pe + 20) & 0xFFFF) + 40 * (count - 1);
    auto raw = Get32(file, last + 16);
    EXPECT_EQ(Get32(file, last + 20) + raw, file.size());
    Put32(file, last + 8, raw + size);
    Put32(file, last + 16, raw + size);
    file.resize(file.size() + size);
    return Get32(file, last + 12) + raw;
}

Bytes ReadBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class PeSampleTest : public testing::Test {
protected:
    void SetUp() override {
        if (!*OMBRAL_PE_SAMPLE) GTEST_SKIP() << "no i686-w64-mingw32-g++ to build the sample DLL with";
        sample_ = ReadBytes(OMBRAL_PE_SAMPLE);
        ASSERT_FALSE(sample_.empty());
    }
    Bytes sample_;
};

std::string Text(std::span<const std::uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST_F(PeSampleTest, SeesExactlyTheExportsImportsAndResourcesBuiltIn) {
    PeImage image(sample_);
    EXPECT_EQ(image.DllName(), "sample7.bpl");
    EXPECT_EQ(image.OrdinalBase(), 3u);
    EXPECT_EQ(image.Exports(),
              (std::vector<Export>{{3, "Plain"}, {4, "@$xp$12Sample@TBeep"}, {5, "@Sample@Odd$qqrv"}, {9, ""}}));
    ASSERT_EQ(image.Imports().size(), 2u);
    EXPECT_EQ(image.Imports()[0].dll, "KERNEL32.dll");
    EXPECT_EQ(image.Imports()[0].functions, (std::vector<ImportedFunction>{{"GetTickCount", {}}}));
    EXPECT_EQ(image.Imports()[1].dll, "USER32.dll");
    EXPECT_EQ(image.Imports()[1].functions, (std::vector<ImportedFunction>{{"MessageBeep", {}}}));

    using Seen = std::tuple<ResourceId, ResourceId, std::uint32_t, std::string>;
    std::vector<Seen> seen;
    for (const auto& resource : image.Resources())
        seen.emplace_back(resource.type, resource.name, resource.language, Text(resource.bytes));
    // String types come before integer ones, as the directory stores them; windres writes names in capitals.
    EXPECT_EQ(seen, (std::vector<Seen>{{"OMBRAL TYPE", 7u, 0, "xyz"},
                                       {10u, "GRößE", 0, "q"},
                                       {10u, "PAYLOAD", 0, std::string("ab\0cd", 5)},
                                       {10u, "PAYLOAD", 0x1C09, "other"}}));
}

TEST_F(PeSampleTest, PecheckListsAndDumps) {
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string out, err;
    };
    const std::string file = OMBRAL_PE_SAMPLE;
    const std::vector<Case> cases{
        {{"--functions", file},
         0,
         "dll sample7.bpl\nexport 3 Plain\nexport 4 @$xp$12Sample@TBeep\nexport 5 @Sample@Odd$qqrv\nexport 9\n"
         "import KERNEL32.dll\nimport KERNEL32.dll GetTickCount\nimport USER32.dll\nimport USER32.dll MessageBeep\n"
         "resource \"OMBRAL\\x20TYPE\" 7 0x0000 3\nresource RCDATA GRößE 0x0000 1\nresource RCDATA PAYLOAD 0x0000 5\n"
         "resource RCDATA PAYLOAD 0x1C09 5\n",
         ""},
        {{"--resource", "RCDATA", "PAYLOAD", "--lang", "0", file}, 0, std::string("ab\0cd", 5), ""},
        {{"--resource", "\"OMBRAL TYPE\"", "7", file}, 0, "xyz", ""},
        {{file, "--lang", "0x1c09", "--resource", "10", "PAYLOAD"}, 0, "other", ""},
        {{"--resource", "RCDATA", "PAYLOAD", file}, 1, "", "PAYLOAD exists in 2 languages"},
        {{"--resource", "RCDATA", "7", file}, 1, "", "no resource RCDATA 7"},
        {{file + ".missing"}, 1, "", "sample.dll.missing: No such file or directory"},
        {{"/proc/self/cmdline"}, 1, "", "DOS header at file offset 0x0"},
        {{std::filesystem::path(file).parent_path()}, 1, "", "pe-sample is not a regular file"},
        {{}, 2, "", "no FILE given"},
        {{file, file}, 2, "", "unexpected argument"},
        {{"--lang", "0x", "--resource", "RCDATA", "PAYLOAD", file}, 2, "", "not a language id: 0x"},
        {{file, "--resource", "RCDATA"}, 2, "", "--resource needs TYPE and NAME"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv{PECHECK};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        auto run = testsupport::Run(argv);
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, c.out);
        EXPECT_THAT(run.err, HasSubstr(c.err));
    }
}

// What pecheck must refuse before reading a byte, lest it block or run out of
// memory, and output it cannot write, which must not pass as done.
TEST(PecheckInput, RefusedOrFailedInOneLine) {
    testsupport::TemporaryFolder folder;
    const std::string fifo = folder.Path() + "/fifo.dll", huge = folder.Path() + "/huge.dll";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    testsupport::WriteFile(huge, "MZ");
    std::filesystem::resize_file(huge, kMaxImageFileBytes + 1);
    struct Case {
        std::vector<std::string> arguments;
        std::optional<std::string> output;
        std::string err;
    };
    const std::vector<Case> cases{
        {{fifo}, {}, fifo + " is not a regular file"},
        {{"/dev/zero"}, {}, "/dev/zero is not a regular file"},
        {{huge}, {}, huge + " is larger than 2 GiB, more than any PE image"},
        {{"--help"}, "/dev/full", "cannot write standard output: No space left on device"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv{"timeout", "30", PECHECK};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        auto run = testsupport::Run(argv, {.output = c.output});
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "pecheck: " + c.err + "\n");
    }
}

TEST(PeTokens, ReadBackAsWritten) {
    const std::vector<std::string> texts{
        "PAYLOAD", "", "123", "#5", "a b", "q\"\\", std::string("\x01\x7F\0", 3), "Größe", "RCDATA", "\"", "MANIFEST2",
        "\x9b" "2J", "\xc2\x9d" "0;t", "Caf\xe9"};
    for (bool isType : {false, true})
        for (const auto& text : texts) {
            auto token = Token(text, isType);
            EXPECT_EQ(ParseId(token, isType), ResourceId(text)) << token;
            EXPECT_EQ(token.find_first_of(std::string(" \n\0", 3)), std::string::npos) << token;
            EXPECT_EQ(host::EscapeForTerminal(token), token);
        }
    EXPECT_EQ(Token("Gr\xc3\xb6\xc3\x9f" "e\x9b\xc2\x85"), "\"Gr\xc3\xb6\xc3\x9f" "e\\x9B\\xC2\\x85\"");
    EXPECT_EQ(IdToken(10u, true), "RCDATA");
    EXPECT_EQ(IdToken(10u, false), "10");
    EXPECT_EQ(IdToken(240u, true), "240");
    EXPECT_EQ(Token("RCDATA", true), "\"RCDATA\"");
    EXPECT_EQ(ParseId("GROUP_ICON", true), ResourceId(14u));
    EXPECT_EQ(ParseId("GROUP_ICON", false), ResourceId("GROUP_ICON"));
    EXPECT_EQ(ParseId("4294967296", false), ResourceId("4294967296"));
    for (const char* bad : {"\"open", "\"a\"b", "\"\\x4\"", "\"\\"}) EXPECT_THROW(ParseId(bad, false), PeError) << bad;
}

TEST_F(PeSampleTest, ReadsAnImportByOrdinal) {
    PeImage intact(sample_);
    auto lookup = *intact.FileOffset(Get32(sample_, *intact.FileOffset(intact.Directory(1).first)));
    Put32(sample_, lookup, 0x80000007);
    PeImage image(sample_);
    EXPECT_EQ(image.Imports()[0].functions, (std::vector<ImportedFunction>{{"", 7}}));
    EXPECT_THAT(Listing(image, true), HasSubstr("\nimport KERNEL32.dll\nimport KERNEL32.dll #7\nimport USER32.dll\n"));
}

// The 64-bit build of the same sources lists as the 32-bit one; its lookup
// entries are twice as wide, with the ordinal flag in the top bit of 64, and
// its optional header is longer.
TEST_F(PeSampleTest, ReadsThe64BitBuildAsThe32BitOne) {
    if (!*OMBRAL_PE_SAMPLE64) GTEST_SKIP() << "no x86_64-w64-mingw32-g++ to build the 64-bit sample DLL with";
    Bytes wide = ReadBytes(OMBRAL_PE_SAMPLE64);
    EXPECT_EQ(Listing(PeImage(wide), true), Listing(PeImage(sample_), true));

    PeImage intact(wide);
    auto lookup = *intact.FileOffset(Get32(wide, *intact.FileOffset(intact.Directory(1).first)));
    Put32(wide, lookup, 7);
    Put32(wide, lookup + 4, 0x80000000);
    EXPECT_EQ(PeImage(wide).Imports()[0].functions, (std::vector<ImportedFunction>{{"", 7}}));

    Put16(wide, Get32(wide, 0x3C) + 20, 108);
    EXPECT_THAT(Refusal(wide).value_or("read"), HasSubstr("size 0x6C is too small for PE32+"));
}

// Import descriptors by the `count` that all share one lookup table of `count` entries.
TEST_F(PeSampleTest, TablesThatRepeatEachOtherAreRefused) {
    PeImage intact(sample_);
    auto kernel = *intact.FileOffset(intact.Directory(1).first);
    auto repeated = [&](std::uint32_t count) {
        auto file = sample_;
        auto size = 24 * (count + 1), rva = Grow(file, size);
        auto at = file.size() - size, entries = at + 20 * (count + 1);
        for (std::uint32_t i = 0; i < count; ++i) {
            Put32(file, at + 20 * i, rva + 20 * (count + 1));
            Put32(file, at + 20 * i + 12, Get32(file, kernel + 12));
            Put32(file, entries + 4 * i, Get32(file, *intact.FileOffset(Get32(file, kernel))));
        }
        Put32(file, (Get32(file, 0x3C) + 24) + 96 + 8, rva);
        return file;
    };
    PeImage sound(repeated(10));
    ASSERT_EQ(sound.Imports().size(), 10u);
    EXPECT_EQ(sound.Imports()[9].functions, std::vector<ImportedFunction>(10, {"GetTickCount", {}}));
    EXPECT_THAT(Refusal(repeated(100)).value_or("read"), HasSubstr("its tables repeat each other"));
}

TEST_F(PeSampleTest, EveryProperPrefixIsRefused) {
    for (std::size_t size = 0; size < sample_.size(); ++size)
        EXPECT_TRUE(Refusal(Bytes(sample_.begin(), sample_.begin() + static_cast<std::ptrdiff_t>(size))))
            << "cut at " << size;
}

TEST_F(PeSampleTest, DamageIsRefusedWithWhatAndWhere) {
    PeImage intact(sample_);
    std::size_t pe = Get32(sample_, 0x3C), optional = pe + 24, sections = optional + (Get32(sample_, pe + 20) & 0xFFFF);
    auto at = [&](std::size_t directory) { return *intact.FileOffset(intact.Directory(directory).first); };
    auto resourceEntry = [&](int depth) {  // the first entry `depth` levels below the resource root
        auto base = at(2), directory = base;
        for (int level = 0; level < depth; ++level) directory = base + (Get32(sample_, directory + 20) & 0x7FFFFFFF);
        return directory + 16;
    };
    struct Case {
        const char* label;
        std::function<void(Bytes&)> damage;
        const char* message;
    };
    const std::vector<Case> cases{
        {"no MZ", [](Bytes& f) { f[1] = 'Y'; }, "DOS header at file offset 0x0: no MZ signature"},
        {"PE signature past the end", [](Bytes& f) { Put32(f, 0x3C, 0xFFFFFFF0); },
         "PE signature at file offset 0xFFFFFFF0"},
        {"bad PE signature", [&](Bytes& f) { f[pe + 1] = 'F'; }, "not PE\\0\\0"},
        {"unknown magic", [&](Bytes& f) { Put16(f, optional, 0x30B); }, "unknown magic 0x30B"},
        {"optional header too small", [&](Bytes& f) { Put16(f, pe + 20, 0x40); }, "too small for PE32"},
        {"17 data directories", [&](Bytes& f) { Put32(f, optional + 92, 17); }, "17 data directories do not fit"},
        {"section data past the end", [&](Bytes& f) { Put32(f, sections + 20, 0xFFFFF000); },
         "file data of section .text"},
        {"65535 sections", [&](Bytes& f) { Put16(f, pe + 6, 0xFFFF); }, "65535 sections, more than Windows loads"},
        {"section table past the end",
         [&](Bytes& f) { Put16(f, pe + 20, static_cast<std::uint16_t>(f.size() - optional - 10)); },
         "section table at file offset"},
        {"exported DLL name nowhere", [&](Bytes& f) { Put32(f, at(0) + 12, 0x7FFFFFF0); },
         "exported DLL name at RVA 0x7FFFFFF0"},
        {"export addresses past the section", [&](Bytes& f) { Put32(f, at(0) + 20, 0x40000000); },
         "export address table at file offset"},
        {"export ordinal past the addresses", [&](Bytes& f) { Put16(f, *intact.FileOffset(Get32(f, at(0) + 36)), 7); },
         "index 7 is past the 7 exported addresses"},
        {"export address outside the image",
         [&](Bytes& f) { Put32(f, *intact.FileOffset(Get32(f, at(0) + 28)), 0x7FFFFFF0); },
         "the address 0x7FFFFFF0 of ordinal 3 lies outside the image"},
        {"ordinals past 65535", [&](Bytes& f) { Put32(f, at(0) + 16, 0xFFFF); }, "ordinals run past 65535"},
        {"imported DLL name nowhere", [&](Bytes& f) { Put32(f, at(1) + 12, 0xFFFFFFFF); }, "imported DLL name at RVA"},
        {"import lookup table nowhere",
         [&](Bytes& f) {
             Put32(f, at(1), 0x7FFFFF00);
             Put32(f, at(1) + 16, 0);
         },
         "import lookup table at RVA 0x7FFFFF00"},
        {"resource root points at itself", [&](Bytes& f) { Put32(f, resourceEntry(0) + 4, 0x80000000); },
         "reached a second time: the tree loops"},
        {"resource tree four levels deep", [&](Bytes& f) { Put32(f, resourceEntry(2) + 4, 0x80000000); },
         "a subdirectory below the language level"},
        {"resource name past the end", [&](Bytes& f) { Put32(f, resourceEntry(0), 0xFFFFFFF0); },
         "resource name at RVA"},
        {"resource data too long", [&](Bytes& f) { Put32(f, at(2) + Get32(f, resourceEntry(2) + 4) + 4, 0x7FFFFFFF); },
         "resource data at file offset"},
    };
    for (const auto& c : cases) {
        auto damaged = sample_;
        c.damage(damaged);
        EXPECT_THAT(Refusal(damaged).value_or("read without complaint"), HasSubstr(c.message)) << c.label;
    }
}

}  // namespace
