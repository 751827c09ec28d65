// The headless boxes print their type and text to standard error.

#include "support/MessageBoxes.h"

#include <gtest/gtest.h>

namespace testsupport {

struct MessageBoxes::Watch {
    bool capturing = true;
};

MessageBoxes::MessageBoxes() : watch_(std::make_unique<Watch>()) { testing::internal::CaptureStderr(); }

MessageBoxes::~MessageBoxes() {
    if (watch_->capturing) testing::internal::GetCapturedStderr();
}

std::vector<std::string> MessageBoxes::Shown() {
    std::vector<std::string> shown;
    if (!watch_->capturing) return shown;
    watch_->capturing = false;
    const std::string printed = testing::internal::GetCapturedStderr();
    std::size_t start = 0;
    for (std::size_t end; (end = printed.find('\n', start)) != std::string::npos; start = end + 1)
        shown.push_back(printed.substr(start, end - start));
    return shown;
}

}  // namespace testsupport
