#include "OdbcTestConfiguration.h"

namespace testsupport {

const std::vector<std::string> kCatalogueDrivers{
    "Microsoft Access Driver (*.mdb)",  "Microsoft Excel Driver (*.xls)",
    "Microsoft Text Driver (*.txt, *.csv)", "Microsoft Paradox Driver (*.db )",
    "Microsoft dBase Driver (*.dbf)",  "Microsoft Visual FoxPro Driver (*.dbf)"};

OdbcTestConfiguration& OdbcTestConfiguration::Get() {
    static OdbcTestConfiguration configuration;
    return configuration;
}

}  // namespace testsupport
