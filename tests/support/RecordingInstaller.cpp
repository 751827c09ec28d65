#include "RecordingInstaller.h"

#include <cstring>

#include <platform/host/rtl/OdbcInstaller.h>

namespace recording {

namespace {
bool result = true;
}

std::vector<InstallerCall>& Calls() {
    static std::vector<InstallerCall> calls;
    return calls;
}

void SetResult(bool succeeds) { result = succeeds; }

void Reset() {
    Calls().clear();
    result = true;
}

}  // namespace recording

// The list ends at its first empty pair; the installer reads nothing beyond.
static std::string CopyAttributeList(const char* list) {
    if (!list) return {};
    const char* end = list;
    while (*end) end += std::strlen(end) + 1;
    return std::string(list, static_cast<std::size_t>(end - list) + 1);
}

BOOL INSTAPI SQLConfigDataSource(HWND hwndParent, WORD fRequest, LPCSTR lpszDriver, LPCSTR lpszAttributes) {
    recording::Calls().push_back(
        {hwndParent == nullptr, fRequest, lpszDriver ? lpszDriver : "", CopyAttributeList(lpszAttributes)});
    return recording::result ? 1 : 0;
}
