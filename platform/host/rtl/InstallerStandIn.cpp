#include <platform/host/rtl/InstallerStandIn.h>

namespace host {

namespace {

TInstallerStandIn& StandIn() {
    static TInstallerStandIn standIn;
    return standIn;
}

}  // namespace

void SetInstallerStandIn(TInstallerStandIn standIn) { StandIn() = std::move(standIn); }

const TInstallerStandIn& InstallerStandIn() { return StandIn(); }

}  // namespace host
