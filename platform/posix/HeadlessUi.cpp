#include <cerrno>
#include <deque>
#include <iostream>
#include <utility>

#include <HeadlessUi.h>
#include <platform/host/ui/Dialogs.h>
#include <platform/host/ui/Forms.h>

namespace {

std::deque<std::function<void()>>& PendingMessages() {
    static std::deque<std::function<void()>> queue;
    return queue;
}

const char* Caption(host::TMsgDlgType type) {
    switch (type) {
        case host::mtWarning: return "Warning: ";
        case host::mtError: return "Error: ";
        case host::mtInformation: return "Information: ";
        case host::mtConfirmation: return "Confirmation: ";
        default: return "";
    }
}

// Nobody is there to press a button: the box is answered with its first
// accepting button, as a person pressing Enter would.
host::TModalResult DefaultAnswer(host::TMsgDlgButtons buttons) {
    struct Choice {
        host::TMsgDlgBtn button;
        host::TModalResult result;
    };
    static constexpr Choice order[] = {{host::mbOK, host::mrOk},       {host::mbYes, host::mrYes},
                                       {host::mbYesToAll, host::mrYesToAll}, {host::mbAll, host::mrAll},
                                       {host::mbRetry, host::mrRetry}, {host::mbIgnore, host::mrIgnore},
                                       {host::mbNo, host::mrNo},       {host::mbNoToAll, host::mrNoToAll},
                                       {host::mbCancel, host::mrCancel}, {host::mbAbort, host::mrAbort}};
    for (const auto& choice : order)
        if (buttons.Contains(choice.button)) return choice.result;
    return host::mrNone;
}

}  // namespace

namespace headless {

void PostMessage(std::function<void()> message) { PendingMessages().push_back(std::move(message)); }

}  // namespace headless

namespace host {

TModalResult PlatformShowMessage(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer) {
    std::cerr << Caption(DlgType) << Msg << std::endl;
    return DefaultAnswer(Buttons);
}

void PlatformProcessMessages() {
    auto& queue = PendingMessages();
    // Only what was pending on entry; a message posting another leaves it for next time.
    for (auto pending = queue.size(); pending > 0 && !queue.empty(); --pending) {
        auto message = std::move(queue.front());
        queue.pop_front();
        message();
    }
}

String PlatformApplicationTitle() { return program_invocation_short_name; }

}  // namespace host
