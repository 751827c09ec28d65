#pragma once
// The application object.

namespace host {

class TApplication {
public:
    // Handles the window messages that are pending, then returns.
    void ProcessMessages();
};

extern TApplication* const Application;

// What the platform's user interface does to handle pending messages.
void PlatformProcessMessages();

}  // namespace host
