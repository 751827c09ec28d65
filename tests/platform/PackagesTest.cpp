#include <platform/host/rtl/Packages.h>
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
        EXPECT_THROW(host::PackageLoad(&table), host::Exception);
    } else {
        host::PackageLoad(&table);
    }
    EXPECT_EQ(calls, c.load);
    calls.clear();
    host::PackageUnload(&table);
    EXPECT_EQ(calls, c.unload);
    calls.clear();
    host::PackageUnload(&table); // a second unload finalises nothing
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
        host::PackageLoad(&table);
        host::PackageUnload(&table);
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"i0", "i2", "i3", "f3", "f1", "f0",
                                               "i0", "i2", "i3", "f3", "f1", "f0"}));
}

} // namespace
