#pragma once
// Stands in for the installer's SQLConfigDataSource in the unit tests, so a
// test sees every request, driver and attribute byte that reaches it.

#include <string>
#include <vector>

namespace recording {

struct InstallerCall {
    bool nullWindow;
    int request;
    std::string driver;
    std::string attributes;  // up to and including the closing double NUL
};

std::vector<InstallerCall>& Calls();
void SetResult(bool succeeds);  // what the next calls return; reset by Reset()
void Reset();

}  // namespace recording
