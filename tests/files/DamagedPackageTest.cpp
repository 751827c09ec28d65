// pecheck and ombral-host over copies of the Windows package DLL whose
// export or resource tables were bent out of the image, made at test time.
// Windows follows those tables without a check, in GetProcAddress and in a
// resource read, so the host must refuse each copy before loading it: one
// line naming the file and what is wrong, exit 1, never a crash or a hang.
//   ombral_damaged_package_tests PACKAGE HOST [RUNNER...]
// runs the host program HOST with the command RUNNER (Wine) in front.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <platform/host/package/PeImage.h>
#include <support/Files.h>
#include <support/Processes.h>

using testing::HasSubstr;

namespace {

std::string package, host;
std::vector<std::string> runner;

using Bytes = std::string;

std::uint32_t Get(const Bytes& file, std::size_t at, std::size_t size = 4) {
    std::uint32_t value = 0;
    std::memcpy(&value, &file.at(at + size - 1) - (size - 1), size);
    return value;
}
void Put(Bytes& file, std::size_t at, std::uint32_t value, std::size_t size = 4) {
    std::memcpy(&file.at(at + size - 1) - (size - 1), &value, size);
}

// Where the fields are that the damage bends, in the intact file.
class Layout {
public:
    explicit Layout(const Bytes& file)
        : file_(file), image_(std::vector<std::uint8_t>(file.begin(), file.end())), coff_(Get(file, 0x3C) + 4) {}

    std::size_t Coff() const { return coff_; }
    // The data directory entry `index`; PE32+ widens the fields before them by 16 bytes.
    std::size_t Directory(std::size_t index) const {
        const std::size_t optional = coff_ + 20;
        return optional + (Get(file_, optional, 2) == 0x20B ? 112 : 96) + 8 * index;
    }
    std::size_t At(std::uint32_t rva) const { return image_.FileOffset(rva).value(); }
    // The export directory's field at `offset`, and the first entry of the table it points at.
    std::size_t Export(std::size_t offset) const { return At(image_.Directory(0).first) + offset; }
    std::size_t FirstOf(std::size_t exportField) const { return At(Get(file_, Export(exportField))); }
    // The data entry of the language-neutral RCDATA resource of that name.
    std::size_t RcData(const std::string& name) const {
        const std::size_t base = At(image_.Directory(2).first);
        const auto named = [&](std::uint32_t id) {
            return (id & 0x80000000u) && Name(base + (id & 0x7FFFFFFF)) == name;
        };
        const auto types = Below(base, base, [](std::uint32_t id) { return id == 10; });
        return Below(base, Below(base, types, named), [](std::uint32_t) { return true; });
    }

private:
    std::string Name(std::size_t at) const {
        std::string text;
        for (std::size_t i = 0; i < Get(file_, at, 2); ++i) text += static_cast<char>(Get(file_, at + 2 + 2 * i, 2));
        return text;
    }
    // Where the first entry of the resource directory at `directory` whose id matches leads.
    std::size_t Below(std::size_t base, std::size_t directory,
                      const std::function<bool(std::uint32_t)>& matches) const {
        const std::size_t count = Get(file_, directory + 12, 2) + Get(file_, directory + 14, 2);
        for (std::size_t entry = directory + 16; entry < directory + 16 + 8 * count; entry += 8)
            if (matches(Get(file_, entry))) return base + (Get(file_, entry + 4) & 0x7FFFFFFF);
        throw std::runtime_error("no such resource");
    }

    const Bytes& file_;
    ombralpe::PeImage image_;
    std::size_t coff_;
};

constexpr std::uint32_t kNowhere = 0x7FFFFF00;

struct Damage {
    std::string name;
    std::function<void(Bytes&, const Layout&)> bend;
    std::string why;
    bool pecheckRefuses = true;  // pecheck lists DLLs of every machine, and programs too
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

const std::vector<Damage>& Damages() {
    static const std::vector<Damage> damages{
        {"packageinfo_nowhere", [](Bytes& f, const Layout& l) { Put(f, l.RcData("PACKAGEINFO"), kNowhere); },
         "resource data at RVA 0x7FFFFF00"},
        {"form_nowhere", [](Bytes& f, const Layout& l) { Put(f, l.RcData("TOLVEXABOUTFORM"), kNowhere); },
         "resource data at RVA 0x7FFFFF00"},
        {"resources_nowhere", [](Bytes& f, const Layout& l) { Put(f, l.Directory(2), kNowhere); },
         "resource directory at RVA 0x7FFFFF0C"},
        {"names_nowhere", [](Bytes& f, const Layout& l) { Put(f, l.Export(32), kNowhere); },
         "export name table at RVA 0x7FFFFF00"},
        {"names_huge", [](Bytes& f, const Layout& l) { Put(f, l.Export(24), 0x7FFFFFFF); },
         "export name table at file offset"},
        {"name_nowhere", [](Bytes& f, const Layout& l) { Put(f, l.FirstOf(32), kNowhere); },
         "export name at RVA 0x7FFFFF00"},
        {"ordinals_nowhere", [](Bytes& f, const Layout& l) { Put(f, l.Export(36), kNowhere); },
         "export ordinal table at RVA 0x7FFFFF00"},
        {"addresses_nowhere", [](Bytes& f, const Layout& l) { Put(f, l.Export(28), kNowhere); },
         "export address table at RVA 0x7FFFFF00"},
        {"address_nowhere", [](Bytes& f, const Layout& l) { Put(f, l.FirstOf(28), kNowhere); },
         "the address 0x7FFFFF00 of ordinal 1 lies outside the image"},
        // x86 for x86-64, and the other way round.
        {"other_machine", [](Bytes& f, const Layout& l) { Put(f, l.Coff(), Get(f, l.Coff(), 2) ^ 0x8664 ^ 0x14C, 2); },
         "a DLL for machine type", false},
        {"program", [](Bytes& f, const Layout& l) { Put(f, l.Coff() + 18, Get(f, l.Coff() + 18, 2) & ~0x2000u, 2); },
         "a PE image but no DLL", false},
    };
    return damages;
}

// The lines the host wrote: Wine's C runtime ends them with CR LF, and the
// virtual display the runner may start says on the way out that it was shut.
std::vector<std::string> HostLines(std::string text) {
    std::erase(text, '\r');
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        if (!text.compare(start, 16, "X connection to ")) continue;
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

class DamagedPackage : public testing::TestWithParam<Damage> {
protected:
    static void SetUpTestSuite() { folder_ = new testsupport::TemporaryFolder; }
    static void TearDownTestSuite() { delete folder_; }

    // A copy of the package with the damage done, beside the other copies.
    static std::string Copy(const Damage& damage) {
        static const Bytes intact = testsupport::ReadFile(package);
        static const Layout layout(intact);
        Bytes copy = intact;
        damage.bend(copy, layout);
        const std::string path = folder_->Path() + "/" + damage.name + ".bpl";
        testsupport::WriteFile(path, copy);
        return path;
    }

    static testsupport::TemporaryFolder* folder_;
};

testsupport::TemporaryFolder* DamagedPackage::folder_ = nullptr;

TEST_P(DamagedPackage, RefusedInOneLineByPecheckAndTheHost) {
    const Damage& damage = GetParam();
    const std::string path = Copy(damage);

    const auto checked = testsupport::Run({PECHECK, path});
    EXPECT_EQ(checked.exitCode, damage.pecheckRefuses ? 1 : 0) << checked.err;
    if (damage.pecheckRefuses) {
        EXPECT_THAT(checked.err, HasSubstr(damage.why));
    }

    std::vector<std::string> argv = runner;
    argv.insert(argv.end(), {host, path});
    const auto hosted = testsupport::Run(argv, {.timeoutSeconds = 60});
    EXPECT_FALSE(hosted.timedOut);
    EXPECT_EQ(hosted.exitCode, 1);
    EXPECT_EQ(hosted.out, "");
    const auto lines = HostLines(hosted.err);
    ASSERT_EQ(lines.size(), 1u) << hosted.err;
    EXPECT_THAT(lines[0], testing::StartsWith("ombral-host: " + path + ": "));
    EXPECT_THAT(lines[0], HasSubstr(damage.why));
}

INSTANTIATE_TEST_SUITE_P(EachDamage, DamagedPackage, testing::ValuesIn(Damages()),
                         [](const testing::TestParamInfo<Damage>& info) { return info.param.name; });

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleMock(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PACKAGE HOST [RUNNER...]\n", argv[0]);
        return 2;
    }
    package = argv[1];
    host = argv[2];
    runner.assign(argv + 3, argv + argc);
    return RUN_ALL_TESTS();
}
