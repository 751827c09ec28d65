#pragma once
// A window message for the application to handle at its next ProcessMessages.

#include <functional>

namespace testsupport {

void PostPendingMessage(std::function<void()> handler);

}  // namespace testsupport
