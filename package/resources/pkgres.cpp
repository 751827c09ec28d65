// Build step: writes a package release's resources and the .rc naming them.
//   pkgres RELEASE OUTDIR FORM.bin

#include <fstream>
#include <iostream>
#include <string>

#include "PackageResources.h"

namespace {

bool WriteFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out << data;
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string release = argc == 4 ? argv[1] : "";
    if (release.size() != 1 || !pkgres::IsKnownRelease(release[0] - '0')) {
        std::cerr << "usage: pkgres 4|5|6 OUTDIR FORM.bin\n";
        return 2;
    }
    const int number = release[0] - '0';
    const std::string dir = argv[2];
    const std::pair<std::string, std::string> files[] = {
        {"PACKAGEINFO.bin", pkgres::PackageInfo(number)},
        {"PACKAGEOPTIONS.bin", pkgres::PackageOptions(number)},
        {"DESCRIPTION.bin", pkgres::Description()},
        {"VERSION.bin", pkgres::VersionInfo(number)},
        {"TOMBRALCREATOR.bmp", pkgres::PaletteBitmap()},
        {"ICON1.bin", pkgres::IconImage()},
        {"MAINICON.bin", pkgres::IconGroup()},
        {"ombral" + release + ".rc", pkgres::ResourceScript(dir, argv[3])},
    };
    for (const auto& [name, bytes] : files)
        if (!WriteFile(dir + '/' + name, bytes)) {
            std::cerr << "pkgres: cannot write " << dir << '/' << name << '\n';
            return 1;
        }
    return 0;
}
