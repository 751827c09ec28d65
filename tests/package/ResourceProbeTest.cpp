// Each release's resources read back from a DLL that carries them, at their
// exact type, name and language, against the files the generator wrote.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include <support/Files.h>

namespace {

constexpr WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
constexpr WORD kZa = 0x1C09;

struct Resource {
    LPCSTR type;
    LPCSTR name;
    WORD language;
    const char* file;
};

const Resource kResources[] = {
    {MAKEINTRESOURCEA(10), "PACKAGEINFO", kNeutral, "PACKAGEINFO.bin"},
    {MAKEINTRESOURCEA(10), "PACKAGEOPTIONS", kNeutral, "PACKAGEOPTIONS.bin"},
    {MAKEINTRESOURCEA(10), "DESCRIPTION", kNeutral, "DESCRIPTION.bin"},
    {MAKEINTRESOURCEA(10), "TOLVEXABOUTFORM", kNeutral, "TOLVEXABOUTFORM.bin"},
    {MAKEINTRESOURCEA(2), "TOMBRALCREATOR", kZa, "TOMBRALCREATOR.bmp"},
    {MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(1), kZa, "ICON1.bin"},
    {MAKEINTRESOURCEA(14), "MAINICON", kZa, "MAINICON.bin"},
    {MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), kZa, "VERSION.bin"},
};

std::string Label(LPCSTR id) { return IS_INTRESOURCE(id) ? "#" + std::to_string(LOWORD(id)) : std::string(id); }

class ResourceProbe : public testing::TestWithParam<int> {
protected:
    void SetUp() override {
        const std::string dll = "ombral_resprobe" + std::to_string(GetParam()) + ".dll";
        module_ = LoadLibraryExA(dll.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << dll << ": error " << GetLastError();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }

    std::string Read(const Resource& r) const {
        HRSRC found = FindResourceExA(module_, r.type, r.name, r.language);
        if (!found) return {};
        const void* data = LockResource(LoadResource(module_, found));
        return {static_cast<const char*>(data), SizeofResource(module_, found)};
    }

    std::string Directory() const {
        return std::string(OMBRAL_RESPROBE_DIR) + "/ombral_resprobe" + std::to_string(GetParam()) + "-resources/";
    }

    HMODULE module_ = nullptr;
};

TEST_P(ResourceProbe, EveryResourceHoldsTheGeneratedBytes) {
    for (const Resource& r : kResources) {
        const std::string expected = testsupport::ReadFile(Directory() + r.file);
        ASSERT_FALSE(expected.empty()) << r.file;
        EXPECT_EQ(Read(r), expected) << Label(r.type) << ' ' << Label(r.name) << " at language " << r.language;
    }
}

std::string Query(std::vector<char>& block, const std::string& path) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length)) return "<missing>";
    return {static_cast<const char*>(value), length};
}

TEST_P(ResourceProbe, WindowsReadsTheVersionBlock) {
    const std::string bytes = Read(kResources[7]);
    ASSERT_FALSE(bytes.empty());
    std::vector<char> block(bytes.begin(), bytes.end());
    const bool six = GetParam() == 6;
    const std::string table = std::string("\\StringFileInfo\\") + (six ? "040904E4" : "1C0904E4") + "\\";
    EXPECT_EQ(Query(block, table + "CompanyName").c_str(), std::string("Ombral Software"));
    EXPECT_EQ(Query(block, table + "LegalCopyright").c_str(), std::string("Copyright \xA9 2026 Ombral Software"));
    EXPECT_EQ(Query(block, table + "FileVersion").c_str(), std::string(GetParam() == 5 ? "1.0.0.27" : "1.1.0.0"));
    const std::string translation = Query(block, "\\VarFileInfo\\Translation");
    ASSERT_EQ(translation.size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(translation[0]) | static_cast<unsigned char>(translation[1]) << 8,
              six ? 0x0409 : 0x1C09);
    EXPECT_EQ(static_cast<unsigned char>(translation[2]) | static_cast<unsigned char>(translation[3]) << 8, 1252);
}

INSTANTIATE_TEST_SUITE_P(Releases, ResourceProbe, testing::Values(4, 5, 6),
                         [](const auto& info) { return "Release" + std::to_string(info.param); });

}  // namespace
