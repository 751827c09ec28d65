#pragma once
// The ombral tool run as a user runs it, in a private configuration of the test's own.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/Processes.h"

namespace tooltest {

class ToolTest : public ::testing::Test {
protected:
    // A command line that starts with --config is run as it is; any other runs in the test's folder.
    testsupport::ProcessResult Ombral(std::vector<std::string> arguments, testsupport::RunOptions options = {}) {
        if (arguments.empty() || arguments[0].rfind("--config", 0) != 0)
            arguments.insert(arguments.begin(), {"--config", folder_.Path()});
        arguments.insert(arguments.begin(), OMBRAL_TOOL);
        return testsupport::Run(arguments, options);
    }
    std::vector<std::string> Environment() const {
        return {"ODBCSYSINI=" + folder_.Path(), "ODBCINI=" + UserFile()};
    }
    testsupport::ProcessResult Odbcinst(const std::string& name) {
        return testsupport::Run({"odbcinst", "-q", "-s", "-n", name}, {std::nullopt, Environment()});
    }
    // Root reads and writes anything: to meet permissions, the configuration
    // then becomes nobody's and the tool runs as nobody.
    testsupport::RunOptions AsOwnerWithoutPrivileges() {
        testsupport::RunOptions options;
        if (::geteuid() != 0) return options;
        options.asUser = 65534;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_.Path()))
            EXPECT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
        EXPECT_EQ(::chown(folder_.Path().c_str(), 65534, 65534), 0);
        return options;
    }
    std::string Path(const std::string& name) const { return folder_.Path() + "/" + name; }
    std::string UserFile() const { return Path("user/odbc.ini"); }
    std::string SystemFile() const { return Path("odbc.ini"); }
    std::string DriverFile() const { return Path("odbcinst.ini"); }

    testsupport::TemporaryFolder folder_;
};

}  // namespace tooltest
