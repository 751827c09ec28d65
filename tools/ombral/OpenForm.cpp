#include "OpenForm.h"

#include <map>

#include <platform/host/rtl/FormStream.h>
#include <tools/common/ToolFiles.h>

namespace ombraltool {

namespace {

// The messages a person is meant to see; ReadFileSnapshot checks all again on
// the file it opens.
odbcsetup::FileSnapshot ReadFormFile(const std::string& path) {
    toolfiles::CheckRegularFile(path, {host::kMaxFormFileBytes, "any form file"});
    return odbcsetup::ReadFileSnapshot(path, host::kMaxFormFileBytes);
}

}  // namespace

OpenForm::OpenForm(const std::string& path)
    : path_(path), read_(ReadFormFile(path)), document_(std::make_unique<host::TFormDocument>(read_.content)) {
    Collect(document_->Root(), {});
    CheckNamesApart();
}

// Components are found by name without regard to case (select, --component),
// so of two that share one all but the first would be out of reach.
void OpenForm::CheckNamesApart() const {
    std::map<std::string, std::string> spellings;  // by the name in capitals: each spelling met
    std::map<std::string, int> counts;
    for (const auto& record : records_) {
        const std::string& name = record.stored->Name;
        if (name.empty()) continue;
        const std::string key = host::UpperCase(name);
        (spellings[key] += counts[key]++ ? ", " : "") += name;
    }
    std::string shared;
    for (const auto& [key, count] : counts)
        if (count > 1) (shared += shared.empty() ? "" : "; ") += spellings[key];
    if (!shared.empty()) throw host::EReadError("components share a name (in any case): " + shared);
}

namespace {

// The record without its children, which become components of their own or stay records.
host::TFormObject Alone(const host::TFormObject& stored) {
    host::TFormObject alone;
    alone.Flags = stored.Flags;
    alone.ChildPos = stored.ChildPos;
    alone.ClassName = stored.ClassName;
    alone.Name = stored.Name;
    alone.Properties = stored.Properties;
    return alone;
}

}  // namespace

// An inherited or inline record holds only what differs from its ancestor,
// so it is no whole component; a record it holds may be one, added by this form.
void OpenForm::Collect(const host::TFormObject& stored, std::vector<std::size_t> place) {
    const bool whole = !(stored.Flags & (host::ffInherited | host::ffInline));
    Record& record = records_.emplace_back(Record{place, &stored, nullptr, {}});
    if (whole && host::FindClass(stored.ClassName)) {
        record.component.reset(host::ReadComponent(Alone(stored), nullptr));
        record.was = host::WriteComponent(*record.component);
    }
    for (std::size_t i = 0; i < stored.Children.size(); ++i) {
        place.push_back(i);
        Collect(stored.Children[i], place);
        place.pop_back();
    }
}

OpenForm::EditedForm OpenForm::Edited() const {
    std::vector<host::TFormObject> now(records_.size());
    std::vector<host::TFormDocument::TRecordChange> changes;
    for (std::size_t i = 0; i < records_.size(); ++i)
        if (const auto& record = records_[i]; record.component) {
            now[i] = host::WriteComponent(*record.component);
            changes.push_back({record.stored, &record.was, &now[i]});
        }
    std::string bytes = document_->Edited(changes);
    if (bytes.size() > host::kMaxFormFileBytes)
        throw host::EWriteError("the form would take " + std::to_string(bytes.size()) + " bytes, more than the " +
                                toolfiles::ByteCount(host::kMaxFormFileBytes) + " a form file may hold");
    auto document = std::make_unique<host::TFormDocument>(bytes);
    return {std::move(bytes), std::move(document)};
}

void OpenForm::SaveAs(const std::string& path) const { odbcsetup::CreateOwnerOnlyFile(path, Edited().bytes); }

void OpenForm::Save() {
    EditedForm edited = Edited();
    read_ = odbcsetup::ReplaceReadFile(path_, read_, edited.bytes);
    document_ = std::move(edited.document);
    for (auto& record : records_) {
        const host::TFormObject* stored = &document_->Root();
        for (std::size_t child : record.place) stored = &stored->Children.at(child);
        record.stored = stored;
        if (record.component) record.was = host::WriteComponent(*record.component);
    }
}

}  // namespace ombraltool
