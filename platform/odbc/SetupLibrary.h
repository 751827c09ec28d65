#pragma once
// The parts of the stand-in setup library: the request handling is shared, the
// place where a scope's data sources are kept belongs to the platform.

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace odbcsetup {

using Attribute = std::pair<std::string, std::string>;  // keyword, value

// A refused request: the installer error code to post and a readable reason.
struct SetupError {
    unsigned long code;
    std::string reason;
};

// The data sources of one scope (user or system). Every operation either
// completes or throws SetupError and changes nothing.
class DataSourceStore {
public:
    virtual ~DataSourceStore() = default;
    virtual void Add(const std::string& name, const std::vector<Attribute>& attributes) = 0;  // adds or replaces
    virtual void Configure(const std::string& name, const std::vector<Attribute>& attributes) = 0;
    virtual void Remove(const std::string& name) = 0;
};

// The platform's store for the scope; `driver` is the driver description the
// installer called the setup library for.
std::unique_ptr<DataSourceStore> OpenDataSourceStore(bool system, const std::string& driver);

}  // namespace odbcsetup
