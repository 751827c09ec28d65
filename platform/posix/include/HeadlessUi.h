#pragma once
// The headless user interface: message boxes go to standard error, window
// messages are closures that wait in a queue until the application pumps
// it, and open-file dialogs and modal forms talk with a person on the
// console.

#include <functional>
#include <iosfwd>

namespace headless {

// Queues a message for the next Application->ProcessMessages().
void PostMessage(std::function<void()> message);

// The console of the dialogs and forms: standard input and output until set.
// Both streams must outlive their use; ResetConsole goes back to the standard ones.
void SetConsole(std::istream& in, std::ostream& out);
void ResetConsole();

}  // namespace headless
