#pragma once
// Whole files and temporary folders.

#include <string>

namespace testsupport {

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

// A folder that is removed with everything in it when the object goes.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace testsupport
