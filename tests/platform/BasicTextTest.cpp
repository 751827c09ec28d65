// The text routines that the framework, the setup library and the POSIX file
// layer share: names compare and fold as the host's do, ASCII letters alone,
// and what reaches a terminal is escaped.

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

// Nothing that reaches a terminal may steer it: no C0 or C1 control in either
// form, no byte that is not UTF-8; the UTF-8 text itself comes through.
TEST(BasicText, EscapeForTerminalLetsNoControlThrough) {
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"plain text", "plain text"},
        {"tab\there\r\n", "tab\\there\\r\\n"},
        {"\x1b[2J\x7f", "\\x1b[2J\\x7f"},
        {"Caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "Caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},  // UTF-8 kept
        {"Caf\xe9 \x80", "Caf\\xe9 \\x80"},               // the code page's bytes
        {"\x9b" "31m \x9d" "0;title\x07", "\\x9b31m \\x9d0;title\\x07"},  // C1 controls as 8-bit bytes
        {"\xc2\x9b" "31m \xc2\x85", "\\xc2\\x9b31m \\xc2\\x85"},      // and in UTF-8
        {"\xc2\xa0\xc2\xbf", "\xc2\xa0\xc2\xbf"},           // U+00A0 and past are text
        {"cut \xe2\x82", "cut \\xe2\\x82"},                  // a sequence cut short
        {"\xc2", "\\xc2"},
        // Bidirectional controls, which reorder what the terminal shows; their neighbours are text.
        {"a\xe2\x80\xae" "b\xe2\x80\x8e\xe2\x80\x8f", "a\\xe2\\x80\\xaeb\\xe2\\x80\\x8e\\xe2\\x80\\x8f"},
        {"\xe2\x80\xaa\xe2\x81\xa6\xe2\x81\xa9", "\\xe2\\x80\\xaa\\xe2\\x81\\xa6\\xe2\\x81\\xa9"},
        {"\xe2\x80\xa9\xe2\x80\xaf\xe2\x81\xa5\xe2\x81\xaa", "\xe2\x80\xa9\xe2\x80\xaf\xe2\x81\xa5\xe2\x81\xaa"},
    };
    for (const auto& c : cases) EXPECT_EQ(host::EscapeForTerminal(c.text), c.shown) << c.text;
}

}  // namespace
