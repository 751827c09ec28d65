// libFuzzer: the PE reader. Any byte string is read or refused with a PeError;
// every resource's bytes can be read, and its type and name read back from
// the listing's fields as they were.

#include <cstdlib>

#include <Listing.h>
#include <platform/host/package/PeImage.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        ombralpe::PeImage image(std::vector<std::uint8_t>(data, data + size));
        ombralpe::Listing(image, true);
        unsigned sum = 0;
        for (const auto& resource : image.Resources()) {
            for (auto byte : resource.bytes) sum += byte;
            if (ombralpe::ParseId(ombralpe::IdToken(resource.type, true), true) != resource.type ||
                ombralpe::ParseId(ombralpe::IdToken(resource.name, false), false) != resource.name)
                std::abort();
        }
        return static_cast<int>(sum & 0);
    } catch (const ombralpe::PeError&) {
        return 0;
    }
}
