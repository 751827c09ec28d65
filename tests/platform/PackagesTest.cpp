#include <platform/host/rtl/Packages.h>
#include <platform/host/rtl/Release.h>
#include <platform/host/rtl/SysUtils.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;
int failAt = -1;

template <int N> void Init() {
    if (N == failAt) {
        throw host::Exception("init " + std::to_string(N));
    }
    calls.push_back("i" + std::to_string(N));
}
template <int N> void Fin() { calls.push_back("f" + std::to_string(N)); }

const host::PackageUnitEntry entries[] = {
    {Init<0>, Fin<0>}, {nullptr, Fin<1>}, {Init<2>, nullptr}, {Init<3>, Fin<3>}};
const host::PackageInfoTable table{4, entries};

// The package's module record, which release 6's loader takes as well.
host::TLibModule record;

void Load(const host::PackageInfoTable* t) {
#if OMBRAL_FRAMEWORK_RELEASE >= 6
    host::PackageLoad(t, &record);
#else
    host::PackageLoad(t);
#endif
}

void Unload(const host::PackageInfoTable* t) {
#if OMBRAL_FRAMEWORK_RELEASE >= 6
    host::PackageUnload(t, &record);
#else
    host::PackageUnload(t);
#endif
}

// What the record holds: release 6 enters a loaded table, no other release touches it.
const host::PackageInfoTable* RecordedWhenLoaded(bool loaded) {
    return host::kFrameworkRelease >= 6 && loaded ? &table : nullptr;
}

struct Case {
    const char* name;
    int failAt;
    std::vector<std::string> load;   // calls from PackageLoad
    std::vector<std::string> unload; // calls from PackageUnload after it
};

class PackagesTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        calls.clear();
        failAt = GetParam().failAt;
    }
    void TearDown() override { failAt = -1; }
};

TEST_P(PackagesTest, InitialisesInOrderAndFinalisesTheInitialisedInReverse) {
    const Case& c = GetParam();
    if (c.failAt >= 0) {
        EXPECT_THROW(Load(&table), host::Exception);
    } else {
        Load(&table);
    }
    EXPECT_EQ(calls, c.load);
    EXPECT_EQ(record.InitTable, RecordedWhenLoaded(c.failAt < 0));
    calls.clear();
    Unload(&table);
    EXPECT_EQ(calls, c.unload);
    EXPECT_EQ(record.InitTable, nullptr);
    calls.clear();
    Unload(&table); // a second unload finalises nothing
    EXPECT_TRUE(calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Tables, PackagesTest,
    ::testing::Values(
        Case{"AllInitialise", -1, {"i0", "i2", "i3"}, {"f3", "f1", "f0"}},
        Case{"FirstRaises", 0, {}, {}},
        Case{"LastRaisesTheOthersAreUndone", 3, {"i0", "i2", "f1", "f0"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PackagesLoadAgain, ALoadAfterAnUnloadRunsEverythingAgain) {
    calls.clear();
    for (int round = 0; round < 2; ++round) {
        Load(&table);
        EXPECT_EQ(record.InitTable, RecordedWhenLoaded(true));
        Unload(&table);
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"i0", "i2", "i3", "f3", "f1", "f0",
                                               "i0", "i2", "i3", "f3", "f1", "f0"}));
}

TEST(PackagesLoadAgain, ASecondLoadInitialisesNothingAndOneUnloadUndoesIt) {
    calls.clear();
    Load(&table);
    Load(&table);
    Unload(&table);
    Unload(&table);
    EXPECT_EQ(calls, (std::vector<std::string>{"i0", "i2", "i3", "f3", "f1", "f0"}));
}

TEST(PackagesLoadAgain, UnloadingAnotherTableLeavesTheRecordAlone) {
    Load(&table);
    const host::PackageInfoTable other{0, nullptr};
    Unload(&other);
    EXPECT_EQ(record.InitTable, RecordedWhenLoaded(true));
    Unload(&table);
    calls.clear();
}

} // namespace
