// An EReadError that the framework's form reader raises while the package
// builds its About form crosses the package and is caught by type here, and
// the package is finalised and unloaded after it as usual.

#include <gtest/gtest.h>

#include <string>

#include <platform/host/design/DesignIntf.h>
#include <platform/host/rtl/Classes.h>
#include <platform/host/rtl/PackageModules.h>
#include <platform/host/rtl/Packages.h>
#include <platform/host/rtl/Resources.h>

namespace {

using host::PackageProc;

PackageProc Routine(const host::TPackageModule& package, const char* name) {
    auto proc = reinterpret_cast<PackageProc>(package.FindExport(name));
    if (!proc) throw std::runtime_error(std::string("the package exports no ") + name);
    return proc;
}

TEST(AboutReadError, ReachesTheHostByTypeThroughThePackage) {
    const std::string damaged[] = {
        "TPF0\x0fTOlvexAboutForm\x0eOlvexAboutFor",  // cut inside the form's name
        "TPF0\x0fTOlvexAboutForm\x0eOlvexAboutForm\x04Left\x03",  // a value without its bytes
    };
    for (const std::string& form : damaged) {
        SCOPED_TRACE(testing::PrintToString(form));
        host::TPackageModule package(OMBRAL_PACKAGE_FILE);
        Routine(package, "Initialize")();
        Routine(package, "@Ombralcompreg@Register$qqrv")();
        ASSERT_EQ(host::Palette().size(), 1u);
        host::RegisterResource("TOLVEXABOUTFORM", form);
        EXPECT_THROW(host::EditNewComponentProperty(host::Palette().front().ComponentClass, "About"), host::EReadError);
        Routine(package, "Finalize")();
        host::UnregisterDesignTime();
        EXPECT_TRUE(host::Palette().empty());
    }
}

}  // namespace
