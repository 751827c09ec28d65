#pragma once
// A form file as the tool opens it: any form or data module the host wrote,
// of the application's own class, with the components of other vendors,
// inherited records and frames. Each record of a class that the package
// registered (TOmbralCreator) becomes a component, read through its setters,
// unless it is inherited or inline and so holds only what differs from its
// ancestor; every other record stays as it was read. Saving splices what changed in the
// components into the file and keeps every other byte.

#include <memory>
#include <string>
#include <vector>

#include <platform/host/rtl/Classes.h>
#include <platform/host/rtl/FormFile.h>
#include <platform/odbc/ToolAccess.h>

namespace ombraltool {

class OpenForm {
public:
    // Reads and parses the file; std::runtime_error (host::EReadError for
    // what the readers refuse) naming the fault. A device, a folder or a
    // pipe, and a file too large for any real form, are refused unread.
    explicit OpenForm(const std::string& path);

    struct Record {
        std::vector<std::size_t> place;  // child positions from the root down
        const host::TFormObject* stored;
        std::unique_ptr<host::TComponent> component;  // null for a class the package does not register
        host::TFormObject was;  // the component as written when it was read (name and properties)
    };

    const std::string& Path() const { return path_; }
    const host::TFormDocument& Document() const { return *document_; }
    // Every record, in stream order: the root first, each record before its children.
    std::vector<Record>& Records() { return records_; }

    // Writes the edited bytes over the file read (odbcsetup::ReplaceReadFile
    // says what it refuses); later changes are told from them.
    void Save();
    // Writes them to a new file, readable by its owner alone.
    void SaveAs(const std::string& path) const;

private:
    // The file's bytes with the components' changes and the document they
    // read back as; EWriteError for a value the form cannot hold, EReadError
    // when the result would not read back.
    struct EditedForm {
        std::string bytes;
        std::unique_ptr<host::TFormDocument> document;
    };
    EditedForm Edited() const;
    void Collect(const host::TFormObject& stored, std::vector<std::size_t> place);
    void CheckNamesApart() const;  // host::EReadError naming the components that share a name

    std::string path_;
    odbcsetup::FileSnapshot read_;
    std::unique_ptr<host::TFormDocument> document_;
    std::vector<Record> records_;
};

}  // namespace ombraltool
