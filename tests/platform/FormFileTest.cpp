// Form files as the host's IDE writes them, opened as documents: read in each
// encoding and layout, written back byte for byte, and changed one property
// at a time.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/rtl/FormFile.h>

#include "support/FormFixtures.h"

using namespace host;
using OmbralCreateUnit::TOmbralCreator;
using testsupport::FormFixture;

namespace {

// The text form as the host's converter stores it: with and without the
// resource header of a binary form file.
String BinaryFile(const String& text, TTextCharset charset, bool header) {
    const TFormObject form = ReadTextForm(text.substr(charset == TTextCharset::Utf8 ? 3 : 0), charset);
    const String stream = WriteBinaryForm(form);
    return (header ? FormResourceHeader(form.ClassName, stream.size()) : String()) + stream;
}

const TFormObject& Child(const TFormObject& record, std::string_view name) {
    for (const auto& child : record.Children)
        if (child.Name == name) return child;
    throw std::runtime_error("no record " + String(name));
}

std::vector<String> Lines(const String& text) {
    std::vector<String> lines;
    std::stringstream in(text);
    for (String line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct Layouts {
    const char* file;
    TTextCharset charset;
    const char* eol;
};
const Layouts kForms[] = {{"ShopData.dfm", TTextCharset::Ansi, "\r\n"},
                          {"OrderForm.dfm", TTextCharset::Ansi, "\n"},
                          {"StockModule.dfm", TTextCharset::Utf8, "\r\n"}};

TEST(FormFile, EachEncodingIsWrittenBackByteForByte) {
    int files = 0;
    for (const auto& form : kForms) {
        SCOPED_TRACE(form.file);
        const String text = FormFixture(form.file);
        const TFormDocument document(text);
        EXPECT_EQ(document.Layout().Kind, TFormFileKind::Text);
        EXPECT_EQ(document.Layout().Charset, form.charset);
        EXPECT_EQ(document.Layout().Eol, form.eol);
        EXPECT_EQ(document.Edited({}), text);
        for (bool header : {false, true}) {
            const String binary = BinaryFile(text, form.charset, header);
            const TFormDocument opened(binary);
            EXPECT_EQ(opened.Layout().Kind, header ? TFormFileKind::BinaryResource : TFormFileKind::Binary);
            EXPECT_EQ(opened.Edited({}), binary);
            EXPECT_EQ(WriteTextForm(opened.Root()), WriteTextForm(document.Root()));
            ++files;
        }
    }
    EXPECT_EQ(files, 6);
}

TEST(FormFile, TheHostsCharactersAreReadInTheFilesCharset) {
    const TFormObject shop = TFormDocument(FormFixture("ShopData.dfm")).Root();
    EXPECT_EQ(Child(shop, "ShopCreator").Properties.at(2).Value.Text, "Boutique Caf\xE9 \x96 Lagerbestand \xE0 5 \x80");
    const TFormObject stock = TFormDocument(FormFixture("StockModule.dfm")).Root();
    EXPECT_EQ(Child(stock, "StockCreator").Properties.at(1).Value.Text, "Bestand f\xFCr K\xF6ln");
    const TFormValue& title = Child(stock, "lblTitle").Properties.at(0).Value;
    EXPECT_EQ(title.Kind, fvWideString);
    EXPECT_EQ(title.Wide, u"Lager \u2013 \u5009\u5eab \u2013 \u03a9mega");
}

TEST(FormFile, AHeaderThatDisagreesWithItsStreamIsRefused) {
    const String file = BinaryFile(FormFixture("OrderForm.dfm"), TTextCharset::Ansi, true);
    const String header = FormResourceHeader("TOrderForm", file.size() - 20);
    ASSERT_EQ(file.substr(0, 20), header) << "FF 0A 00, TORDERFORM, NUL, 30 10, length";
    const struct {
        const char* label;
        String file;
        const char* message;
    } cases[] = {
        {"longer stream", file + "x", "bytes, but"},
        {"cut short", file.substr(0, file.size() - 1), "gives the stream's length as"},
        {"header cut short", file.substr(0, 18), "is cut short"},
        {"no stream", FormResourceHeader("TA", 4) + "TPF1", "no binary form stream"},
    };
    for (const auto& c : cases) {
        try {
            TFormDocument document(c.file);
            ADD_FAILURE() << c.label << ": read";
        } catch (const EReadError& error) {
            EXPECT_NE(String(error.what()).find(c.message), String::npos) << c.label << ": " << error.what();
        }
    }
}

// The creators of a document as components, and the change of each.
class Creators {
public:
    explicit Creators(const TFormDocument& document) {
        RegisterClass(TypeInfo<TOmbralCreator>());
        for (const auto& record : document.Root().Children)
            if (record.ClassName == "TOmbralCreator") {
                auto& entry = entries_.emplace_back();
                entry.record = &record;
                entry.creator.reset(static_cast<TOmbralCreator*>(ReadComponent(record, nullptr)));
                entry.was = WriteComponent(*entry.creator);
            }
    }
    TOmbralCreator& operator[](std::size_t i) { return *entries_.at(i).creator; }
    std::vector<TFormDocument::TRecordChange> Changes() {
        std::vector<TFormDocument::TRecordChange> changes;
        for (auto& entry : entries_) {
            entry.now = WriteComponent(*entry.creator);
            changes.push_back({entry.record, &entry.was, &entry.now});
        }
        return changes;
    }

private:
    struct Entry {
        const TFormObject* record;
        std::unique_ptr<TOmbralCreator> creator;
        TFormObject was, now;
    };
    std::vector<Entry> entries_;
};

// The lines that differ between two texts of the same number of lines.
std::vector<std::pair<String, String>> Differences(const String& a, const String& b) {
    const auto before = Lines(a), after = Lines(b);
    std::vector<std::pair<String, String>> differences;
    if (before.size() != after.size()) return {{"line count", std::to_string(before.size()) + " -> " + std::to_string(after.size())}};
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i]) differences.emplace_back(before[i], after[i]);
    return differences;
}

TEST(FormFile, AChangedPropertyChangesItsLineAlone) {
    const String shop = FormFixture("ShopData.dfm");
    const TFormDocument document(shop);
    Creators creators(document);
    creators[0].SetDSNUserDescription("Caf\xE9 & Co");
    const String edited = document.Edited(creators.Changes());
    using Lines = std::vector<std::pair<String, String>>;
    const String before = "    DSNUserDescription = 'Boutique Caf\xE9 \x96 Lagerbestand \xE0 5 \x80'\r";
    EXPECT_EQ(Differences(shop, edited), (Lines{{before, "    DSNUserDescription = 'Caf\xE9 & Co'\r"}}));

    const String stock = FormFixture("StockModule.dfm");
    const TFormDocument utf8(stock);
    Creators stockCreators(utf8);
    stockCreators[0].SetDSNUserDescription("K\xF6ln \x80");
    EXPECT_EQ(Differences(stock, utf8.Edited(stockCreators.Changes())),
              (Lines{{"    DSNUserDescription = 'Bestand für Köln'\r", "    DSNUserDescription = 'Köln €'\r"}}));
}

TEST(FormFile, APropertyBackAtItsDefaultLeavesAndANewOneComesInDeclaredOrder) {
    const String shop = FormFixture("ShopData.dfm");
    const TFormDocument document(shop);
    Creators creators(document);
    creators[0].optPageTimeout = 5;  // the default
    creators[0].optExclusive = true;
    creators[0].Name = "Kasse";
    creators[1].SetUserID("archiv");  // in the file, the initial value was left out
    const String edited = document.Edited(creators.Changes());
    const auto shopLines = Lines(shop);
    std::vector<String> expected;
    for (const String& line : shopLines) {
        if (line == "    optPageTimeout = 10\r") continue;
        if (line == "  object ShopCreator: TOmbralCreator\r") {
            expected.push_back("  object Kasse: TOmbralCreator\r");
            continue;
        }
        expected.push_back(line);
        if (line == "    NetFilePath = 'C:\\Shop\\Net\\'\r") expected.push_back("    optExclusive = True\r");
        if (line == "    DatabaseDir = 'C:\\Shop\\Archiv'\r") expected.push_back("    UserID = 'archiv'\r");
    }
    EXPECT_EQ(Lines(edited), expected);
    const TFormDocument reread(edited);
    const TFormObject& kasse = Child(reread.Root(), "Kasse");
    EXPECT_EQ(kasse.Properties.at(6).Name, "optExclusive");
}

TEST(FormFile, ABinaryChangeRewritesTheStreamsLengthInItsHeader) {
    const String file = BinaryFile(FormFixture("OrderForm.dfm"), TTextCharset::Ansi, true);
    const TFormDocument document(file);
    RegisterClass(TypeInfo<TOmbralCreator>());
    const TFormObject& record = Child(document.Root(), "OrderCreator");
    std::unique_ptr<TComponent> creator(ReadComponent(record, nullptr));
    const TFormObject was = WriteComponent(*creator);
    static_cast<TOmbralCreator&>(*creator).SetDSNNameOrAlias("OrdersWithALongerName");
    const TFormObject now = WriteComponent(*creator);
    const String edited = document.Edited({{&record, &was, &now}});
    EXPECT_EQ(edited.size(), file.size() + 15);
    const TFormDocument reread(edited);
    EXPECT_EQ(Child(reread.Root(), "OrderCreator").Properties.at(1).Value.Text, "OrdersWithALongerName");
    EXPECT_EQ(WriteTextForm(Child(reread.Root(), "AddressFrame1")), WriteTextForm(Child(document.Root(), "AddressFrame1")));
}

}  // namespace
