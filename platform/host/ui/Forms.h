#pragma once
// The application object.

#include <optional>

#include <platform/host/rtl/Types.h>

namespace host {

class TApplication {
public:
    // Handles the window messages that are pending, then returns.
    void ProcessMessages();

    // Shown as the caption of message boxes; the program's name unless set.
    String Title() const;
    void SetTitle(const String& title) { title_ = title; }

private:
    std::optional<String> title_;
};

extern TApplication* const Application;

// What the platform's user interface supplies.
void PlatformProcessMessages();
String PlatformApplicationTitle();

}  // namespace host
