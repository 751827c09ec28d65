// The text routines that the framework, the setup library and the POSIX file
// layer share: names compare and fold as the host's do, ASCII letters alone.

#include <gtest/gtest.h>

#include <platform/host/rtl/BasicText.h>

namespace {

int Sign(int n) { return (n > 0) - (n < 0); }

TEST(BasicText, CompareTextFoldsAsciiLettersAlone) {
    const struct {
        const char* a;
        const char* b;
        int order;  // the sign of CompareText(a, b)
    } cases[] = {
        {"ODBC.INI", "odbc.ini", 0},
        {"Driver", "DRIVEr", 0},
        {"abc", "ABD", -1},
        {"B", "a", 1},
        {"ab", "AB ", -1},  // a prefix sorts first
        {"", "", 0},
        {"[", "A", -1},        // folded to small letters: '[' lies between 'Z' and 'a'
        {"\xc9", "\xe9", -1},  // no letter above ASCII folds
        {"\xe9", "z", 1},      // bytes above 0x7F sort after ASCII
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sign(host::CompareText(c.a, c.b)), c.order) << c.a << " / " << c.b;
        EXPECT_EQ(Sign(host::CompareText(c.b, c.a)), -c.order) << c.b << " / " << c.a;
        EXPECT_EQ(host::SameText(c.a, c.b), c.order == 0) << c.a << " / " << c.b;
    }
}

TEST(BasicText, UpperCaseRaisesAsciiLettersAlone) {
    EXPECT_EQ(host::UpperCase("tOlvexAboutForm_1"), "TOLVEXABOUTFORM_1");
    EXPECT_EQ(host::UpperCase("az{}`@\xe9\xff"), "AZ{}`@\xe9\xff");
}

}  // namespace
