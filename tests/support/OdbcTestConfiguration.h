#pragma once
// The private ODBC configuration of a test process. unixODBC reads ODBCSYSINI
// once per process, so every test of a process shares one folder, emptied
// between tests.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <platform/odbc/DriverRegistration.h>

namespace testsupport {

// The six desktop drivers the package knows, by their installer descriptions.
extern const std::vector<std::string> kCatalogueDrivers;

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

class OdbcTestConfiguration {
public:
    static OdbcTestConfiguration& Get();
    const odbcsetup::PrivateConfiguration& Files() const { return files_; }
    void Reset();  // empty user and system odbc.ini, drivers registered as new
    ~OdbcTestConfiguration();

private:
    OdbcTestConfiguration();
    odbcsetup::PrivateConfiguration files_;
};

class OdbcTest : public ::testing::Test {
protected:
    void SetUp() override { OdbcTestConfiguration::Get().Reset(); }
    const odbcsetup::PrivateConfiguration& Files() const { return OdbcTestConfiguration::Get().Files(); }
};

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
