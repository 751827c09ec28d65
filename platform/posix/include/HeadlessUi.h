#pragma once
// The headless user interface: message boxes go to standard error, and window
// messages are closures that wait in a queue until the application pumps it.

#include <functional>

namespace headless {

// Queues a message for the next Application->ProcessMessages().
void PostMessage(std::function<void()> message);

}  // namespace headless
