#pragma once
// The data sources and drivers of a test process, as the platform keeps them,
// for tests to arrange and inspect. One configuration serves every test of a
// process (unixODBC reads its folder once per process; Windows has one
// registry); Reset() empties it between tests.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace testsupport {

// The six desktop drivers the package knows, by their installer descriptions.
extern const std::vector<std::string> kCatalogueDrivers;

enum class Scope { User, System };
using Values = std::map<std::string, std::string>;
using Entries = std::vector<std::pair<std::string, std::string>>;

class OdbcTestConfiguration {
public:
    static OdbcTestConfiguration& Get();

    // No data source in either scope, the six drivers registered against the
    // setup library and no other driver.
    void Reset();

    void AddDataSource(Scope scope, const std::string& name, const Entries& values = {});
    bool Exists(Scope scope, const std::string& name);
    std::optional<std::string> Value(Scope scope, const std::string& name, const std::string& key);
    std::string Snapshot(Scope scope);  // all of the scope's data sources, to compare before and after

    void RegisterDriver(const std::string& driver, const Entries& values);
    void RemoveDrivers();
    std::string DriverSnapshot();

    const std::string& SetupLibrary() const { return setupLibrary_; }

private:
    OdbcTestConfiguration();
    std::string setupLibrary_;
};

class OdbcTest : public ::testing::Test {
protected:
    void SetUp() override { OdbcTestConfiguration::Get().Reset(); }
    static OdbcTestConfiguration& Odbc() { return OdbcTestConfiguration::Get(); }
};

// Whether the installer hands ODBC_REMOVE_DEFAULT_DSN to the setup library
// (Wine's refuses it itself).
extern const bool kInstallerRemovesDefaultDataSource;

// How a second program (odbcinst, reg) sees a data source: its values, or
// nothing when it sees no such data source.
std::optional<Values> PeerView(const std::string& name);

}  // namespace testsupport
