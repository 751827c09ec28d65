// An ini document in memory: what it keeps of the text, how it is looked up
// and edited, and what it refuses to store.

#include "IniFileFixture.h"

using namespace initest;
using namespace std::string_literals;

namespace {

// ---- documents --------------------------------------------------------------

TEST(IniDocument, UntouchedTextRoundTripsByteForByte) {
    const char* texts[] = {
        "", "\n\n", "[a]\nk=v", "[a]\r\nk=v", "[dup]\nk=1\n[DUP]\nk=2\n", "[a] trailing words\nempty=\n",
        "; comment\n# other\n\n[ODBC Data Sources]\nmydsn = MyDriver\n",
        "  [ spaced ]  \n\tKey\t=\t v a l \t\n key2=  =x= \n\n\n",
        "[a]\r\nk = v\r\n; c\r\n\r\n[b]\r\nx=y\r\n",
        "\xEF\xBB\xBF[bom]\nk=v\n",
    };
    for (const char* text : texts) {
        const IniDocument doc = IniDocument::Parse(text);
        EXPECT_EQ(doc.Serialize(), text);
        EXPECT_TRUE(doc.Damages().empty()) << text;
    }
}

TEST(IniDocument, LooksUpCaseInsensitivelyWithBlanksTrimmed) {
    const IniDocument doc = IniDocument::Parse(
        "[ My DSN ]\n\tDriver \t=  /usr/lib/x.so  \nDescription=a = b\nEmpty =\nDriver = second\n; Hidden = 1\n"
        "[Other]\nk=v\n[my dsn]\nlate=1\n");
    const struct { const char *section, *key; std::optional<std::string> value; } cases[] = {
        {"My DSN", "Driver", "/usr/lib/x.so"}, {"MY dsn", "DRIVER", "/usr/lib/x.so"},
        {"my dsn", "description", "a = b"},    {"My DSN", "Empty", ""},
        {"My DSN", "Hidden", std::nullopt},    {"My DSN", "late", std::nullopt},
        {"other", "K", "v"},                   {"Missing", "k", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(doc.Value(c.section, c.key), c.value) << c.section << "/" << c.key;
    EXPECT_EQ(doc.SectionNames(), (std::vector<std::string>{"My DSN", "Other", "my dsn"}));
    EXPECT_EQ(doc.Entries("OTHER"), (std::vector<Entry>{{"k", "v"}}));
    EXPECT_TRUE(doc.Entries("Missing").empty());
}

TEST(IniDocument, EditsChangeOnlyWhatTheyMust) {
    const struct { const char* before; std::function<void(IniDocument&)> edit; const char* after; } cases[] = {
        {"[a]\n  X =  1 \nY=2\n", [](auto& d) { d.SetValue("A", "x", "5"); }, "[a]\nx = 5\nY=2\n"},
        {"[a]\n  x =  1 \n", [](auto& d) { d.SetValue("a", "x", "1"); }, "[a]\n  x =  1 \n"},
        {"[a]\nx=1\n\n\n[b]\ny=2\n", [](auto& d) { d.SetValue("a", "z", "3"); }, "[a]\nx=1\nz = 3\n\n\n[b]\ny=2\n"},
        {"[a]\nx=1", [](auto& d) { d.SetValue("a", "z", ""); }, "[a]\nx=1\nz = \n"},
        {"[a]\nx=1", [](auto& d) { d.SetValue("a", "x", "2"); }, "[a]\nx = 2"},
        {"[a]\r\nx=1\r\n", [](auto& d) { d.SetValue("a", "x", "2"); }, "[a]\r\nx = 2\r\n"},
        {"[a]\r\nx=1", [](auto& d) { d.SetValue("a", "z", "3"); }, "[a]\r\nx=1\r\nz = 3\r\n"},
        {"[a]\r\nx=1", [](auto& d) { d.EnsureSection("b"); }, "[a]\r\nx=1\r\n\r\n[b]\r\n"},
        {"[a]\nx=1\n\n", [](auto& d) { d.EnsureSection("b"); }, "[a]\nx=1\n\n[b]\n"},
        {"[a]\n", [](auto& d) { d.EnsureSection("A"); }, "[a]\n"},
        {"", [](auto& d) { d.EnsureSection("b"); }, "[b]\n"},
        {"; hi\n", [](auto& d) { d.ReplaceSection("b", {{"k", "v"}}); }, "; hi\n\n[b]\nk = v\n"},
        {"[a]\nx=1\n; c\n\n[b]\ny=2\n", [](auto& d) { d.ReplaceSection("a", {{"k", "v"}, {"l", "w"}}); },
         "[a]\nk = v\nl = w\n\n[b]\ny=2\n"},
        {"[a]\nx=1\n[b]\n[A]\nz=2", [](auto& d) { d.ReplaceSection("a", {}); }, "[a]\n[b]\n"},
        {"[a]\nx=1\n\n[b]\ny=2\n\n[c]\n", [](auto& d) { EXPECT_TRUE(d.RemoveSection("B")); }, "[a]\nx=1\n\n[c]\n"},
        {"[a]\nx=1\n[b]\ny=2", [](auto& d) { EXPECT_TRUE(d.RemoveSection("b")); }, "[a]\nx=1\n"},
        {"[a]\n", [](auto& d) { EXPECT_FALSE(d.RemoveSection("b")); }, "[a]\n"},
        // Comments right above a header describe that section and go with it.
        {"[a]\nx=1\n\n; about b\n# more\n[b]\ny=2\n", [](auto& d) { d.RemoveSection("a"); },
         "; about b\n# more\n[b]\ny=2\n"},
        {"[a]\nx=1\n\n; about b\n[b]\ny=2\n", [](auto& d) { d.RemoveSection("b"); }, "[a]\nx=1\n\n"},
        {"; about a\n[a]\nx=1\n\n[b]\n", [](auto& d) { d.RemoveSection("a"); }, "[b]\n"},
        {"; file\n\n[a]\nx=1\n", [](auto& d) { d.RemoveSection("a"); }, "; file\n\n"},
        {"[a]\nx=1\n; about b\n[b]\n", [](auto& d) { d.ReplaceSection("a", {{"k", "v"}}); },
         "[a]\nk = v\n; about b\n[b]\n"},
        {"[a]\nx=1\n; about b\n[b]\n", [](auto& d) { d.SetValue("a", "z", "3"); }, "[a]\nx=1\nz = 3\n; about b\n[b]\n"},
        // An entry must not land behind a broken header, where it would be lost.
        {"[a]\nx=1\n[b\ny=2\n", [](auto& d) { d.SetValue("a", "z", "3"); }, "[a]\nx=1\nz = 3\n[b\ny=2\n"},
    };
    for (const auto& c : cases) {
        IniDocument doc = IniDocument::Parse(c.before);
        c.edit(doc);
        EXPECT_EQ(doc.Serialize(), c.after) << "from: " << c.before;
    }
}

// ---- what can be stored -------------------------------------------------------

TEST(IniChecks, RefuseWhatCouldNotBeReadBackAndLeaveTheDocument) {
    const struct { char what; std::string text; const char* message; } cases[] = {  // what: section, key, value
        {'s', "", "section name is empty"}, {'s', "a\nb", "holds a line break"}, {'s', "a\rb", "line break"},
        {'s', "a\0b"s, "NUL byte"},         {'s', "a\x01", "control character"}, {'s', " a", "blank"},
        {'s', "a\t", "blank"},              {'s', "a]b", "bracket"},            {'s', "[a", "bracket"},
        {'k', "", "key is empty"},          {'k', "a=b", "holds '='"},          {'k', ";a", "comment"},
        {'k', "#a", "comment"},             {'k', "[a", "section header"},      {'k', "a\n", "line break"},
        {'k', "a ", "blank"},               {'k', "\0"s, "NUL byte"},
        {'v', "one\ntwo", "value of 'Description' holds a line break"},
        {'v', "a\r", "line break"},         {'v', "a\0"s, "NUL byte"},          {'v', " a", "blank"},
        {'v', "a\t", "blank"},              {'v', "\x1b", "control character"},
        // Past what unixODBC reads back whole (see kMaxLineBytes).
        {'s', std::string(998, 's'), "is 998 bytes; unixODBC reads back at most 997"},
        {'k', std::string(997, 'k'), "is 997 bytes; unixODBC reads back at most 996"},
        {'k', std::string(994, 'k'), "the line of 'kkk"},  // with " = new": 1000 bytes
        {'v', std::string(499, 'v'), "value of 'Description' is 499 bytes; unixODBC reads back at most 498"},
        {'v', std::string(1 << 20, 'v'), "is 1048576 bytes"},
    };
    const std::string text = "[a]\nDescription = old\n[b]\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what + (": " + c.text.substr(0, 20)));
        const auto check = [&] {
            if (c.what == 's') CheckSectionName(c.text);
            if (c.what == 'k') {
                CheckKey(c.text);
                CheckValue(c.text, "new");
            }
            if (c.what == 'v') CheckValue("Description", c.text);
        };
        EXPECT_TRUE(Contains(ErrorOf(check), c.message)) << ErrorOf(check);

        IniDocument doc = IniDocument::Parse(text);
        const std::string section = c.what == 's' ? c.text : "a";
        const std::string key = c.what == 'k' ? c.text : "Description";
        const std::string value = c.what == 'v' ? c.text : "new";
        EXPECT_THROW(doc.SetValue(section, key, value), IniError);
        EXPECT_THROW(doc.ReplaceSection(section, {{"ok", "1"}, {key, value}}), IniError);
        if (c.what == 's') {
            EXPECT_THROW(doc.EnsureSection(section), IniError);
        }
        EXPECT_EQ(doc.Serialize(), text);
    }
}

TEST(IniChecks, AcceptedTextReadsBackExactly) {
    const struct { std::string section, key, value; } cases[] = {
        {"My DSN", "Description", ""},
        {"a=b", "Key With Spaces", "a = b ; not a comment"},
        {";x", "k]", "[x]"},
        {"\xC3\xBCn\xC3\xAF", "k\tk", "tab\tinside"},
        {std::string(kMaxLineBytes - 2, 's'), std::string(kMaxLineBytes - 3 - kMaxValueBytes, 'k'),
         std::string(kMaxValueBytes, 'v')},
    };
    for (const auto& c : cases) {
        IniDocument doc;
        doc.ReplaceSection(c.section, {{c.key, c.value}});
        doc.SetValue(c.section, "Other", c.value);
        const IniDocument back = IniDocument::Parse(doc.Serialize());
        EXPECT_TRUE(back.Damages().empty()) << c.key;
        EXPECT_EQ(back.Value(c.section, c.key), c.value) << c.key;
        EXPECT_EQ(back.Value(c.section, "Other"), c.value) << c.key;
    }
}

}  // namespace
