// Build step for the Win32 probes: writes a probe's PACKAGEINFO for windres.
//   probe-info RELEASE VARIANT FILE

#include <fstream>
#include <iostream>
#include <string_view>

#include <host/ProbeInfo.h>

int main(int argc, char** argv) {
    const std::string_view release = argc == 4 ? argv[1] : "";
    if (release != "4" && release != "5" && release != "6") {
        std::cerr << "usage: probe-info 4|5|6 VARIANT FILE\n";
        return 2;
    }
    std::ofstream out(argv[3], std::ios::binary);
    out << hostprobe::ProbeInfo(argv[2], release[0] - '0');
    if (!out.flush()) {
        std::cerr << "probe-info: cannot write " << argv[3] << '\n';
        return 1;
    }
    return 0;
}
