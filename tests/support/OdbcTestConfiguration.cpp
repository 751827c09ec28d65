#include "OdbcTestConfiguration.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

const std::vector<std::string> kCatalogueDrivers{
    "Microsoft Access Driver (*.mdb)",  "Microsoft Excel Driver (*.xls)",
    "Microsoft Text Driver (*.txt, *.csv)", "Microsoft Paradox Driver (*.db )",
    "Microsoft dBase Driver (*.dbf)",  "Microsoft Visual FoxPro Driver (*.dbf)"};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path);
}

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ombral-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    // Readable by others, so a test can look at it as an unprivileged user.
    ::chmod(path_.c_str(), 0755);
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

namespace {
TemporaryFolder& ProcessFolder() {
    static TemporaryFolder folder;
    return folder;
}
}  // namespace

OdbcTestConfiguration::OdbcTestConfiguration()
    : files_(odbcsetup::UsePrivateConfiguration(ProcessFolder().Path(), OMBRAL_SETUP_LIBRARY, kCatalogueDrivers)) {}

OdbcTestConfiguration::~OdbcTestConfiguration() = default;

OdbcTestConfiguration& OdbcTestConfiguration::Get() {
    static OdbcTestConfiguration configuration;
    return configuration;
}

void OdbcTestConfiguration::Reset() {
    for (const auto& file : {files_.systemOdbcIni, files_.userOdbcIni}) {
        std::filesystem::remove(file);
        WriteFile(file, "");
        ::chmod(file.c_str(), 0644);
    }
    ::chmod(files_.folder.c_str(), 0755);
    WriteFile(files_.odbcinstIni, "");
    odbcsetup::RegisterDrivers(files_.odbcinstIni, OMBRAL_SETUP_LIBRARY, kCatalogueDrivers);
}

}  // namespace testsupport
