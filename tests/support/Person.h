#pragma once
// Stands in for a person at the open-file dialogs and modal forms the code
// under test shows, the same way on both platforms: each is answered by the
// next scripted step, in the order they open, and what it showed is kept.
// A dialog or form that opens with no step left is cancelled.

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

struct OpenDialogSeen {
    std::string FileName;  // the text in the file-name box as it opened
    std::string Filter;    // the filter it was given, '|'-separated
    bool PathMustExist = false, FileMustExist = false;  // what it insisted on
};

struct ControlSeen {
    std::string Name;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::string Caption;  // as set, accelerators not stripped
};

struct FormSeen {
    std::string Caption;
    std::vector<ControlSeen> Controls;  // in creation order
};

class Person {
public:
    Person();
    ~Person();
    Person(const Person&) = delete;
    Person& operator=(const Person&) = delete;

    // The next open-file dialog: types the name into its box and confirms
    // (fileName must exist when the dialog insists), or cancels it.
    void WillOpen(const std::string& fileName);
    void WillCancelOpen();

    // The next modal form: clicks the named controls in turn (a label, the
    // OK button...), then presses Enter unless a click already ended it.
    void WillClickThenEnter(const std::vector<std::string>& controlNames = {});
    // The next modal form: closes it without choosing (Escape / end of input).
    void WillCancelForm();

    // What the dialogs and forms that opened showed. The first call of
    // either ends the watch; both then keep answering the same.
    std::vector<OpenDialogSeen> OpenDialogs();
    std::vector<FormSeen> Forms();

private:
    struct Script;
    std::unique_ptr<Script> script_;
};

}  // namespace testsupport
