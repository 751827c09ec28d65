// ombral-host: a stand-in for the application builder that loads a package,
// checks its PACKAGEINFO, initialises it, runs its modules' Register
// procedures, shows what they registered and unloads it again.

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <platform/host/design/DesignIntf.h>
#include <platform/host/rtl/BasicText.h>
#include <platform/host/rtl/PackageInfo.h>
#include <platform/host/rtl/PackageModules.h>
#include <platform/host/rtl/Packages.h>
#include <tools/common/ToolFiles.h>

namespace {

using host::EPackageError;
using host::String;

constexpr int kOk = 0, kFailed = 1, kUsage = 2;

constexpr std::string_view kUsageText =
    "usage: ombral-host PACKAGE [--about] [--loads N]\n"
    "Loads the package, checks its PACKAGEINFO, calls Initialize and the Register\n"
    "procedure of each contained module that has one, prints the palette (page, class)\n"
    "and the editor bindings (class, property, editor), runs the About editor with\n"
    "--about, then calls Finalize and unloads the package; with --loads all of it\n"
    "N times over.\n";

struct Options {
    String Package;
    bool About = false;
    int Loads = 1;
};

// A command line that makes no sense, with what is wrong with it.
struct UsageError {
    std::string Why;
};

Options ParseArguments(const std::vector<std::string_view>& args) {
    Options options;
    bool havePackage = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--about") {
            options.About = true;
        } else if (args[i] == "--loads") {
            if (i + 1 == args.size()) throw UsageError{"--loads needs a number"};
            const std::string_view n = args[++i];
            const auto [end, error] = std::from_chars(n.data(), n.data() + n.size(), options.Loads);
            if (error != std::errc() || end != n.data() + n.size() || options.Loads < 1)
                throw UsageError{"--loads takes a whole number from 1 up, not '" + std::string(n) + "'"};
        } else if (args[i].starts_with("--")) {
            throw UsageError{"unknown option " + std::string(args[i])};
        } else if (havePackage) {
            throw UsageError{"one package at a time: " + std::string(args[i]) + " is one too many"};
        } else {
            options.Package = String(args[i]);
            havePackage = true;
        }
    }
    if (!havePackage) throw UsageError{"no package named"};
    return options;
}

// The host's decorated name of a module's registration procedure: the module
// name with a capital first letter and the rest small.
String RegisterProcedureName(std::string_view module) {
    String name(module);
    for (char& c : name) c = host::LowerAscii(c);
    if (!name.empty()) name[0] = host::UpperAscii(name[0]);
    return "@" + name + "@Register$qqrv";
}

String Hex(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

// Runs a routine of the package; what it raises comes back naming the routine.
void CallPackage(std::string_view routine, host::PackageProc proc) {
    try {
        proc();
    } catch (const std::exception& error) {
        throw EPackageError(String(routine) + " raised: " + error.what());
    } catch (...) {
        throw EPackageError(String(routine) + " raised an exception of unknown type");
    }
}

// One load of the package. Whatever was set up is taken down again in reverse
// order however the load ends: the registrations hold the package's class
// records, so they are forgotten after Finalize and before the library goes.
class PackageSession {
public:
    explicit PackageSession(const String& path) : module_(path) {}
    PackageSession(const PackageSession&) = delete;
    PackageSession& operator=(const PackageSession&) = delete;
    ~PackageSession() {
        try {
            Close();
        } catch (...) {
            // Already failing: the first failure is the one reported.
        }
    }

    void Open() {
        const auto data = module_.ResourceData("PACKAGEINFO");
        if (!data) throw EPackageError("no PACKAGEINFO resource");
        info_ = host::ReadPackageInfo(*data, host::kFrameworkRelease);
        if (!(info_.Flags & host::kPackageFlagIsPackage))
            throw EPackageError("PACKAGEINFO: the package flag 0x40000000 is clear (flags 0x" +
                                Hex(info_.Flags) + "): not a package");
        for (const host::TPackageName& required : info_.Requires)
            if (!host::IsPackageLoaded(required.Name))
                throw EPackageError("requires package " + required.Name + ", which is not loaded");
        const host::PackageProc initialize = Export("Initialize");
        finalize_ = Export("Finalize");
        CallPackage("Initialize", initialize);
        initialised_ = true;
    }

    void Register() {
        for (const host::TContainedModule& module : info_.Contains) {
            const String name = RegisterProcedureName(module.Name);
            if (auto proc = reinterpret_cast<host::PackageProc>(module_.FindExport(name))) CallPackage(name, proc);
        }
    }

    // The package's own finalisation clears its registrations too; the host
    // does not rely on that, since a package that leaves one would leave a
    // pointer into a library that is about to go.
    void Close() {
        struct ForgetRegistrations {
            ~ForgetRegistrations() { host::UnregisterDesignTime(); }
        } forget;  // whether Finalize returns or raises
        if (std::exchange(initialised_, false)) CallPackage("Finalize", finalize_);
    }

private:
    host::PackageProc Export(std::string_view name) const {
        auto proc = reinterpret_cast<host::PackageProc>(module_.FindExport(name));
        if (!proc) throw EPackageError("exports no " + String(name));
        return proc;
    }

    host::TPackageModule module_;
    host::TPackageInfo info_;
    host::PackageProc finalize_ = nullptr;
    bool initialised_ = false;
};

String NameOf(const host::TTypeInfo* type) { return type ? String(type->Name) : String(); }

void PrintRegistrations(std::ostream& out) {
    for (const host::TPaletteEntry& entry : host::Palette())
        out << entry.Page << '\t' << NameOf(entry.ComponentClass) << '\n';
    for (const host::TEditorBinding& binding : host::EditorBindings())
        out << NameOf(binding.ComponentClass) << '\t' << binding.PropertyName << '\t' << NameOf(binding.EditorClass)
            << '\n';
    // Flushed for each load, so that what the package itself prints comes after it.
    if (!out.flush()) throw EPackageError("cannot write standard output: " + toolfiles::SystemReason(errno));
}

// The About editor as the property grid runs it, on the component of the
// palette's first entry.
void RunAbout() {
    const auto palette = host::Palette();
    if (palette.empty()) throw EPackageError("--about: the package put no component on the palette");
    try {
        host::EditNewComponentProperty(palette.front().ComponentClass, "About");
    } catch (const std::exception& error) {
        throw EPackageError(String("the About editor raised: ") + error.what());
    }
}

void HostOnce(const Options& options) {
    PackageSession session(options.Package);
    session.Open();
    session.Register();
    PrintRegistrations(std::cout);
    if (options.About) RunAbout();
    session.Close();
}

int Run(const std::vector<std::string_view>& args) {
    if (args.size() == 1 && args[0] == "--help") {
        std::cout << kUsageText;
        return kOk;
    }
    std::optional<Options> options;
    try {
        options = ParseArguments(args);
    } catch (const UsageError& usage) {
        std::cerr << "ombral-host: " << host::EscapeForTerminal(usage.Why) << "\n" << kUsageText;
        return kUsage;
    }
    try {
        for (int load = 0; load < options->Loads; ++load) HostOnce(*options);
        return kOk;
    } catch (const std::exception& error) {
        std::cerr << "ombral-host: " << host::EscapeForTerminal(options->Package + ": " + error.what()) << "\n";
        return kFailed;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int status = Run({argv + 1, argv + argc});
    // A run that failed has said why in its one line already.
    return status == kOk && !toolfiles::FlushStandardOutput("ombral-host") ? kFailed : status;
}
