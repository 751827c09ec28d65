#include <platform/host/ui/Dialogs.h>

#include <platform/host/ui/UiBackend.h>

namespace host {

namespace {

constexpr std::string_view kOpenOptionNames[] = {
    "ofReadOnly",          "ofOverwritePrompt",  "ofHideReadOnly",       "ofNoChangeDir",   "ofShowHelp",
    "ofNoValidate",        "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist", "ofFileMustExist",
    "ofCreatePrompt",      "ofShareAware",       "ofNoReadOnlyReturn",   "ofNoTestFileCreate",
    "ofNoNetworkButton",   "ofNoLongNames",      "ofOldStyleDialog",     "ofNoDereferenceLinks",
    "ofEnableIncludeNotify", "ofEnableSizing"};

std::span<const TPropInfo> OpenDialogProperties() {
    static const std::vector<TPropInfo> table = PublishedProperties<TComponent>({
        Field<&TOpenDialog::FileName>("FileName"),
        Field<&TOpenDialog::Filter>("Filter"),
        Field<&TOpenDialog::Options>("Options", TOpenOptions{ofHideReadOnly, ofEnableSizing}),
    });
    return table;
}

}  // namespace

TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx) {
    return PlatformShowMessage(Msg, DlgType, Buttons, HelpCtx);
}

bool TOpenDialog::Execute() { return PlatformUiBackend().ExecuteOpenDialog(*this); }

const TTypeInfo* TOpenDialog::ClassType() const { return TypeInfo<TOpenDialog>(); }

template <>
const TTypeInfo* TypeInfo<TOpenOption>() {
    static const TTypeInfo info = EnumerationType("TOpenOption", kOpenOptionNames);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TOpenOptions>() {
    static const TTypeInfo info{.Kind = tkSet, .Name = "TOpenOptions", .Element = TypeInfo<TOpenOption>()};
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TOpenDialog>() {
    static const TTypeInfo info = ClassTypeInfo<TOpenDialog, TComponent>("TOpenDialog", OpenDialogProperties);
    return &info;
}

}  // namespace host
