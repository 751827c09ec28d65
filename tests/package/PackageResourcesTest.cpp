// The package resources' bytes for the three host framework releases.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <package/resources/PackageResources.h>
#include <platform/host/rtl/FormFile.h>
#include <platform/host/rtl/FormStream.h>
#include <support/Files.h>
#include <support/Processes.h>

namespace {

using Bytes = std::string;

std::uint32_t Le(const Bytes& b, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(b.at(at + static_cast<std::size_t>(i)));
    return value;
}

Bytes Hashed(const std::string& name) { return static_cast<char>(pkgres::NameHash(name)) + name + '\0'; }
Bytes Word32(std::uint32_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)}; }

struct ReleaseCase {
    int release;
    std::vector<std::string> required;
    char switchA;
    bool stackGap;
    std::uint32_t versionMs, versionLs;
    std::string fileVersion, stringTable;
    std::uint16_t translation;
};

const ReleaseCase kReleases[] = {
    {4, {"vcl40"}, 1, false, 0x00010001, 0x00000000, "1.1.0.0", "1C0904E4", 0x1C09},
    {5, {"vcl50"}, 1, false, 0x00010000, 0x0000001B, "1.0.0.27", "1C0904E4", 0x1C09},
    {6, {"designide60.bpl", "vcl60.bpl"}, 8, true, 0x00010001, 0x00000000, "1.1.0.0", "040904E4", 0x0409},
};

class ReleaseTest : public testing::TestWithParam<ReleaseCase> {};

TEST_P(ReleaseTest, PackageInfoListsRequiredAndContainedModules) {
    const ReleaseCase& c = GetParam();
    const std::string self = "ombral" + std::to_string(c.release);
    Bytes expected = Word32(0x4C000001) + Word32(static_cast<std::uint32_t>(c.required.size()));
    for (const auto& name : c.required) expected += Hashed(name);
    expected += Word32(6) + '\x03' + Hashed(self);
    for (const char* module : {"pOlvexAbout", "SysInit", "Ombralcompreg", "OmbralCreateUnit", "OmbralCodeUnit"})
        expected += '\0' + Hashed(module);
    if (c.release == 6) expected += Hashed(self);
    while (expected.size() % 4) expected += '\0';
    EXPECT_EQ(pkgres::PackageInfo(c.release), expected);
}

TEST_P(ReleaseTest, PackageOptionsHoldSwitchesStackAliasesAndDescription) {
    const ReleaseCase& c = GetParam();
    const Bytes opts = pkgres::PackageOptions(c.release);
    const std::string switches{c.switchA, 0, 1, 1, 0, 0, 1, 1, 1, 1, 0, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 1};
    const std::string aliases = "WinTypes=Windows;WinProcs=Windows;DbiTypes=BDE;DbiProcs=BDE;DbiErrs=BDE;";
    ASSERT_EQ(aliases.size(), 72u);
    const Bytes expected = "\x30" + switches + '\0' + Word32(16384) + Word32(1048576) +
                           (c.stackGap ? Word32(0) : "") + Word32(0x400000) + '\0' + char(72) + aliases + char(20) +
                           "OLVEX Ombral Creator" + '\0';
    EXPECT_EQ(opts, expected);
}

// A version-block node read back, children parsed from their 32-bit boundaries.
struct VersionNode {
    std::uint16_t valueLength = 0, type = 0;
    std::u16string key;
    Bytes value;
    std::vector<VersionNode> children;
};

std::size_t Align4(std::size_t at) { return (at + 3) & ~std::size_t{3}; }

VersionNode ParseNode(const Bytes& b, std::size_t at, std::size_t& end, bool textValue) {
    VersionNode node;
    const std::size_t length = Le(b, at, 2);
    end = at + length;
    EXPECT_LE(end, b.size());
    node.valueLength = static_cast<std::uint16_t>(Le(b, at + 2, 2));
    node.type = static_cast<std::uint16_t>(Le(b, at + 4, 2));
    std::size_t p = at + 6;
    while (char16_t unit = static_cast<char16_t>(Le(b, p, 2))) {
        node.key += unit;
        p += 2;
    }
    p = Align4(p + 2);
    const std::size_t valueBytes = node.valueLength * (textValue && node.type == 1 ? 2u : 1u);
    node.value = b.substr(p, valueBytes);
    p = Align4(p + valueBytes);
    while (p < end) {
        std::size_t childEnd = 0;
        node.children.push_back(ParseNode(b, p, childEnd, true));
        p = Align4(childEnd);
    }
    return node;
}

std::u16string U16(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

TEST_P(ReleaseTest, VersionBlockReadsBackWithEveryStringInOrder) {
    const ReleaseCase& c = GetParam();
    const Bytes block = pkgres::VersionInfo(c.release);
    ASSERT_EQ(block.size() % 4, 0u);
    std::size_t end = 0;
    const VersionNode root = ParseNode(block, 0, end, false);
    EXPECT_EQ(Align4(end), block.size());
    EXPECT_EQ(root.key, u"VS_VERSION_INFO");
    ASSERT_EQ(root.valueLength, 52u);
    const std::vector<std::uint32_t> fixed{0xFEEF04BD, 0x00010000, c.versionMs, c.versionLs, c.versionMs, c.versionLs,
                                           0x3F, 0, 4, 1, 0, 0, 0};
    for (std::size_t i = 0; i < fixed.size(); ++i) EXPECT_EQ(Le(root.value, 4 * i, 4), fixed[i]) << "field " << i;

    ASSERT_EQ(root.children.size(), 2u);
    const VersionNode& strings = root.children[0];
    EXPECT_EQ(strings.key, u"StringFileInfo");
    ASSERT_EQ(strings.children.size(), 1u);
    EXPECT_EQ(strings.children[0].key, U16(c.stringTable));
    const std::vector<std::pair<std::string, std::u16string>> expected{
        {"CompanyName", u"Ombral Software"}, {"FileDescription", u"Ombral Creator"},
        {"FileVersion", U16(c.fileVersion)}, {"InternalName", u""},
        {"LegalCopyright", u"Copyright \u00A9 2026 Ombral Software"}, {"LegalTrademarks", u""},
        {"OriginalFilename", u""}, {"ProductName", u""}, {"ProductVersion", u"1.0.0.0"}, {"Comments", u""}};
    const auto& entries = strings.children[0].children;
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].key, U16(expected[i].first));
        EXPECT_EQ(entries[i].type, 1u);
        std::u16string value;
        for (std::size_t at = 0; at + 1 < entries[i].value.size(); at += 2)
            value += static_cast<char16_t>(Le(entries[i].value, at, 2));
        // A value counts its closing NUL; an empty one is no characters at all.
        const std::u16string stored = expected[i].second.empty() ? u"" : expected[i].second + u'\0';
        EXPECT_EQ(value, stored) << expected[i].first;
    }
    const VersionNode& vars = root.children[1];
    EXPECT_EQ(vars.key, u"VarFileInfo");
    ASSERT_EQ(vars.children.size(), 1u);
    EXPECT_EQ(vars.children[0].key, u"Translation");
    EXPECT_EQ(vars.children[0].type, 0u);
    const Bytes translation{static_cast<char>(c.translation), static_cast<char>(c.translation >> 8), '\xE4', '\x04'};
    EXPECT_EQ(vars.children[0].value, translation);
}

INSTANTIATE_TEST_SUITE_P(Releases, ReleaseTest, testing::ValuesIn(kReleases),
                         [](const auto& info) { return "Release" + std::to_string(info.param.release); });

TEST(PackageResources, DescriptionIsNulTerminatedUtf16PaddedToFourBytes) {
    Bytes expected;
    for (char c : std::string("OLVEX Ombral Creator")) expected += {c, '\0'};
    expected += Bytes(4, '\0');  // the NUL character, then two bytes of padding
    EXPECT_EQ(pkgres::Description(), expected);
}

TEST(PackageResources, PaletteGlyphIsA24By24SixteenColourDib) {
    const Bytes dib = pkgres::PaletteBitmap();
    ASSERT_EQ(dib.size(), 40u + 64 + 288);
    const std::map<std::size_t, std::uint32_t> header{{0, 40}, {4, 24}, {8, 24}, {14, 4}, {16, 0}, {20, 288}};
    for (const auto& [at, value] : header) EXPECT_EQ(Le(dib, at, at == 14 ? 2 : 4), value) << "offset " << at;
    EXPECT_EQ(Le(dib, 12, 2), 1u);
    EXPECT_EQ(Le(dib, 40 + 4 * 7, 4), 0xC0C0C0u);   // silver
    EXPECT_EQ(Le(dib, 40 + 4 * 12, 4), 0x0000FFu);  // blue, stored as B, G, R
    EXPECT_EQ(Le(dib, 40 + 4 * 15, 4), 0xFFFFFFu);
    // The first stored row is the bottom one; its first pixel is the high nibble.
    EXPECT_EQ(static_cast<unsigned char>(dib[104]) >> 4, 15u);
}

TEST(PackageResources, IconImageAndDirectoryAgreeOnSizes) {
    const Bytes icon = pkgres::IconImage();
    ASSERT_EQ(icon.size(), 744u);
    EXPECT_EQ(Le(icon, 4, 4), 32u);
    EXPECT_EQ(Le(icon, 8, 4), 64u);  // colour rows and mask rows
    EXPECT_EQ(Le(icon, 14, 2), 4u);
    const Bytes group = pkgres::IconGroup();
    const Bytes expected{0, 0, 1, 0, 1, 0, 32, 32, 4, 0, 1, 0, 4, 0, static_cast<char>(0xE8), 2, 0, 0, 1, 0};
    EXPECT_EQ(group, expected);
    // The corners lie outside the glyph: transparent in the mask.
    EXPECT_EQ(static_cast<unsigned char>(icon[40 + 64 + 512]) & 0x80u, 0x80u);
}

// The About form as formbin stores it, with and without UTF-8 strings.
host::TFormValue CopyrightCaption(const std::vector<std::string>& options) {
    testsupport::TemporaryFolder folder;
    std::vector<std::string> argv{OMBRAL_FORMBIN};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(OMBRAL_ABOUT_FORM_TEXT);
    argv.push_back(folder.Path() + "/form.bin");
    const auto result = testsupport::Run(argv);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const host::TFormObject form = host::ReadBinaryForm(testsupport::ReadFile(folder.Path() + "/form.bin"));
    for (const auto& child : form.Children)
        if (child.Name == "lblCopyRight")
            for (const auto& property : child.Properties)
                if (property.Name == "Caption") return property.Value;
    ADD_FAILURE() << "no copyright caption";
    return {};
}

TEST(FormBinUtf8, OnlyTextPastAsciiBecomesUtf8) {
    const host::TFormValue ansi = CopyrightCaption({});
    EXPECT_EQ(ansi.Kind, host::fvString);
    EXPECT_EQ(ansi.Text, "Copyright \xA9 2026 Ombral Software");
    const host::TFormValue utf8 = CopyrightCaption({"--utf8"});
    EXPECT_EQ(utf8.Kind, host::fvUtf8String);
    EXPECT_EQ(utf8.Text, "Copyright \xC2\xA9 2026 Ombral Software");
}

struct ToolCase {
    std::vector<std::string> arguments;
    int exitCode;
    std::string err;  // all of standard error after "TOOL: ", without the line end
};

// Runs the tool (named `name` in its messages) over each case, so that no hang outlasts the test.
void ExpectOutcomes(const char* tool, const std::string& name, const std::vector<ToolCase>& cases) {
    for (const auto& c : cases) {
        std::vector<std::string> argv{"timeout", "30", tool};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const auto run = testsupport::Run(argv);
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.err, c.err.empty() ? "" : name + ": " + c.err + "\n");
    }
}

// A form formbin cannot take whole is refused unread; a name that is no
// resource name, which would break the source it writes, is refused; an
// output it cannot write is named with why.
TEST(FormBinInput, RefusedOrFailedInOneLine) {
    testsupport::TemporaryFolder folder;
    const std::string dir = folder.Path(), fifo = dir + "/fifo.txt", huge = dir + "/huge.txt";
    const std::string bin = dir + "/out.bin", source = dir + "/out.cpp", form = OMBRAL_ABOUT_FORM_TEXT;
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    testsupport::WriteFile(huge, "object");
    std::filesystem::resize_file(huge, host::kMaxFormFileBytes + 1);
    const std::string notName = "not a resource name (letters, digits and _, not a digit first, at most 255): ";
    ExpectOutcomes(OMBRAL_FORMBIN, "formbin",
                   {
                       {{fifo, bin}, 1, fifo + " is not a regular file"},
                       {{"/dev/zero", bin}, 1, "/dev/zero is not a regular file"},
                       {{huge, bin}, 1, huge + " is larger than 16 MiB, more than any form file"},
                       {{form, bin, source, "\"); int evil("}, 2, notName + "\"); int evil("},
                       {{form, bin, source, "FORM\nint evil;"}, 2, notName + "FORM\\nint evil;"},
                       {{form, bin, source, "1FORM"}, 2, notName + "1FORM"},
                       {{form, bin, source, std::string(256, 'F')}, 2, notName + std::string(256, 'F')},
                       {{form, bin, source, std::string(255, 'F')}, 0, ""},
                       {{form, "/dev/full"}, 1, "cannot write /dev/full: No space left on device"},
                       {{form, bin, dir + "/none/out.cpp", "FORM"}, 1,
                        "cannot write " + dir + "/none/out.cpp: No such file or directory"},
                   });
}

// pkgres names the file it could not write and why.
TEST(PkgresOutput, FailedWriteNamesTheFileAndWhy) {
    testsupport::TemporaryFolder folder;
    const std::string full = folder.Path() + "/full", none = folder.Path() + "/none";
    std::filesystem::create_directory(full);
    std::filesystem::create_symlink("/dev/full", full + "/PACKAGEINFO.bin");
    const std::string info = "/PACKAGEINFO.bin: ";
    ExpectOutcomes(OMBRAL_PKGRES, "pkgres",
                   {
                       {{"5", folder.Path(), "form.bin"}, 0, ""},
                       {{"5", full, "form.bin"}, 1, "cannot write " + full + info + "No space left on device"},
                       {{"5", none, "form.bin"}, 1, "cannot write " + none + info + "No such file or directory"},
                   });
}

}  // namespace
