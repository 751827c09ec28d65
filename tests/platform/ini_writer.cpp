// Writer process for the multi-process tests of OdbcIniFile.
//
//   ini_writer FILE add NAME     adds (or replaces) section NAME
//   ini_writer FILE churn N      N rewrites, each giving every section's
//                                "generation" the same new number; prints
//                                "started" after the first one
//   ini_writer FILE writable     exit status 0 when ChangeProblem(FILE) finds none
//
// Exit status 1 and the message on stderr when an update is refused.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/posix/OdbcIniFile.h"

using namespace odbcini;

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string file = argv[1];
    const std::string command = argv[2];
    try {
        if (command == "add" && argc == 4) {
            const std::string name = argv[3];
            UpdateIniFile(
                file,
                [&](IniDocument& doc) {
                    doc.ReplaceSection(name, {{"Driver", "/usr/lib/libdrv.so"},
                                              {"Description", "written by " + name},
                                              {"generation", "0"}});
                },
                IfMissing::Create);
        } else if (command == "churn" && argc == 4) {
            const long rounds = std::atol(argv[3]);
            for (long i = 0; i < rounds; ++i) {
                UpdateIniFile(file, [](IniDocument& doc) {
                    const auto names = doc.SectionNames();
                    if (names.empty()) return;
                    const long next = std::atol(doc.Value(names.front(), "generation").value_or("0").c_str()) + 1;
                    for (const auto& name : names) doc.SetValue(name, "generation", std::to_string(next));
                });
                if (i == 0) {
                    std::puts("started");
                    std::fflush(stdout);
                }
            }
        } else if (command == "writable" && argc == 3) {
            return posixfiles::ChangeProblem(file, IfMissing::Fail) ? 3 : 0;
        } else {
            return 2;
        }
    } catch (const IniError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
