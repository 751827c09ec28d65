#include "support/Messages.h"

#include <HeadlessUi.h>

namespace testsupport {

void PostPendingMessage(std::function<void()> handler) { headless::PostMessage(std::move(handler)); }

}  // namespace testsupport
