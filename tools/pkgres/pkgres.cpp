// Build step: writes a package release's resources and the .rc naming them.
//   pkgres RELEASE OUTDIR FORM.bin

#include <iostream>
#include <stdexcept>
#include <string>

#include <tools/common/ToolFiles.h>

#include <package/resources/PackageResources.h>

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
    try {
        for (const auto& [name, bytes] : files) toolfiles::WriteFile(dir + '/' + name, bytes);
    } catch (const std::runtime_error& error) {
        std::cerr << "pkgres: " << error.what() << '\n';
        return 1;
    }
    return toolfiles::FlushStandardOutput("pkgres") ? 0 : 1;
}
