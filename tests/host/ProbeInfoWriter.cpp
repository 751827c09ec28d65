// Build step for the Win32 probes: writes a probe's PACKAGEINFO for windres.
//   probe-info VARIANT FILE

#include <fstream>
#include <iostream>

#include "ProbeInfo.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: probe-info VARIANT FILE\n";
        return 2;
    }
    std::ofstream(argv[2], std::ios::binary) << hostprobe::ProbeInfo(argv[1], OMBRAL_FRAMEWORK_RELEASE);
    return 0;
}
