#pragma once
// The headless user interface: message boxes go to standard error, window
// messages are closures that wait in a queue until the application pumps
// it, and open-file dialogs and modal forms talk with a person on the
// console.

#include <functional>
#include <iosfwd>
#include <string>

namespace headless {

// Queues a message for the next Application->ProcessMessages().
void PostMessage(std::function<void()> message);

// The console of the dialogs and forms: standard input and output until set.
// Both streams must outlive their use; ResetConsole goes back to the standard ones.
void SetConsole(std::istream& in, std::ostream& out);
void ResetConsole();

// A modal form on the console lists its caption, then one line per control
// (name, Left, Top, Width, Height, caption, tab-separated), then prompts. One
// line answers with words: control names to click, kEnter, kEscape; an empty
// line is Enter, the end of input Escape. A form the line leaves open is
// cancelled; a word that names no control fails it (host::Exception).
inline constexpr const char* kModalPrompt = "Enter = OK: ";
inline constexpr const char* kEnter = "{Enter}";
inline constexpr const char* kEscape = "{Esc}";
// An open-file dialog shows kOpenHeading and its filter, then prompts with
// kFileNamePrompt, the current name and "]: ". It takes one line: an empty
// one cancels, a name it refuses (a missing folder or file) fails it.
inline constexpr const char* kOpenHeading = "Open: ";
// Then, where the dialog insists on them, kMustExistHeading and the words
// kMustExistFolder and kMustExistFile.
inline constexpr const char* kMustExistHeading = "Must exist: ";
inline constexpr const char* kMustExistFolder = "folder";
inline constexpr const char* kMustExistFile = "file";
inline constexpr const char* kFileNamePrompt = "File name [";

// Who opens the addresses ShellExecuteA is given: xdg-open until set; an
// empty function goes back to it.
void SetShellOpener(std::function<void(const std::string&)> opener);

}  // namespace headless
