#pragma once
// Form files as the host's IDE reads and writes them: the binary form stream,
// alone or behind a 16-bit resource header (FF 0A 00, the root's class name in
// capitals and a NUL, the flags 30 10, the stream's length in 32 bits, then
// TPF0...); or the text form, in the system code page or, after a UTF-8
// byte-order mark, in UTF-8, with CRLF or LF line ends.
//
// A TFormDocument is such a file opened for editing: the records as read,
// and the file again with changes to chosen records spliced in. What the
// changes do not touch comes back byte for byte, whatever writer made it.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include <platform/host/rtl/FormStream.h>

namespace host {

// A form file larger than this is refused unread, and none is written: forms
// with pictures stored in them stay far below it, and the limit keeps a
// hostile file from taking all memory.
inline constexpr std::uintmax_t kMaxFormFileBytes = 16u << 20;

enum class TFormFileKind : std::uint8_t { Binary, BinaryResource, Text };

struct TFormFileLayout {
    TFormFileKind Kind = TFormFileKind::Text;
    TTextCharset Charset = TTextCharset::Ansi;  // of a text form
    std::string_view Eol = "\n";                // of a text form: the first line's
    std::size_t StreamAt = 0;                   // where the stream or text starts: past a header or a mark
};

// How the file is laid out; EReadError for a resource header that is damaged
// or whose length disagrees with the stream behind it.
TFormFileLayout FormFileLayout(std::string_view file);

// The 16-bit resource header of a binary form file holding `stream`, whose
// root is of the class `rootClass`. EWriteError for a stream past 4 GiB.
String FormResourceHeader(std::string_view rootClass, std::size_t streamSize);

class TFormDocument {
public:
    // EReadError naming what the readers refuse.
    explicit TFormDocument(String file);

    const String& File() const { return file_; }
    const TFormFileLayout& Layout() const { return layout_; }
    const TFormObject& Root() const { return root_; }

    // One record of the tree, and its component as the component writer gave
    // it when the record was read (Was) and gives it now (Now): name and
    // properties, the latter in declared order.
    struct TRecordChange {
        const TFormObject* Record;
        const TFormObject* Was;
        const TFormObject* Now;
    };

    // The file with each change spliced in: a property that changed replaces
    // its value where the record has it, one that went back to its default
    // leaves with its line, one that is new goes in after the properties
    // declared before it; a new name replaces the old. In a text form the new
    // text takes the file's indentation, line ends and charset; behind a
    // resource header the stream's length is set anew.
    String Edited(const std::vector<TRecordChange>& changes) const;

private:
    struct Splice {
        std::size_t Begin, End;  // in the stream or text
        String Text;
    };
    void AddSplices(const TRecordChange& change, std::vector<Splice>& splices) const;
    Splice Removal(const TFormProperty& stored) const;
    Splice Replacement(const TFormObject& record, const TFormProperty& stored, const TFormProperty& now) const;
    Splice Insertion(const TFormObject& record, std::size_t at, const TFormProperty& now) const;
    Splice Rename(const TFormObject& record, const String& name) const;
    String PropertyText(const TFormObject& record, const TFormProperty& property) const;
    String Indentation(const TFormObject& record) const;

    String file_;
    TFormFileLayout layout_;
    TFormObject root_;
};

}  // namespace host
