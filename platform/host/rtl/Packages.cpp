#include <platform/host/rtl/Packages.h>

#include <map>
#include <mutex>

namespace host {
namespace {

// How many entries of each loaded table were initialised.
struct LoadedTables {
    std::mutex Lock;
    std::map<const PackageInfoTable*, std::int32_t> Initialised;
};

LoadedTables& Loaded() {
    static LoadedTables tables;
    return tables;
}

void Finalise(const PackageInfoTable& table, std::int32_t count) {
    for (std::int32_t i = count; i-- > 0;) {
        if (table.UnitInfo[i].FInit) {
            table.UnitInfo[i].FInit();
        }
    }
}

struct ModuleList {
    std::mutex Lock;
    TLibModule* First = nullptr;
};

ModuleList& Registered() {
    static ModuleList list;
    return list;
}

void Load(const PackageInfoTable* Table) {
    if (!Table || Table->UnitCount <= 0 || !Table->UnitInfo) {
        return;
    }
    // A table loaded already is not initialised twice: one unload must undo
    // a load, or what its modules registered would outlive the package.
    {
        std::lock_guard guard(Loaded().Lock);
        if (Loaded().Initialised.count(Table)) {
            return;
        }
    }
    std::int32_t done = 0;
    try {
        for (; done < Table->UnitCount; ++done) {
            if (Table->UnitInfo[done].Init) {
                Table->UnitInfo[done].Init();
            }
        }
    } catch (...) {
        Finalise(*Table, done);
        throw;
    }
    std::lock_guard guard(Loaded().Lock);
    Loaded().Initialised[Table] = done;
}

void Unload(const PackageInfoTable* Table) {
    std::int32_t count = 0;
    {
        std::lock_guard guard(Loaded().Lock);
        auto found = Loaded().Initialised.find(Table);
        if (found == Loaded().Initialised.end()) {
            return;
        }
        count = found->second;
        Loaded().Initialised.erase(found);
    }
    Finalise(*Table, count);
}

} // namespace

void RegisterModule(TLibModule* Module) {
    std::lock_guard guard(Registered().Lock);
    Module->Next = Registered().First;
    Registered().First = Module;
}

void UnregisterModule(TLibModule* Module) {
    std::lock_guard guard(Registered().Lock);
    for (TLibModule** link = &Registered().First; *link; link = &(*link)->Next) {
        if (*link == Module) {
            *link = Module->Next;
            Module->Next = nullptr;
            return;
        }
    }
}

std::vector<TLibModule*> Modules() {
    std::lock_guard guard(Registered().Lock);
    std::vector<TLibModule*> modules;
    for (TLibModule* module = Registered().First; module; module = module->Next) {
        modules.push_back(module);
    }
    return modules;
}

#if OMBRAL_FRAMEWORK_RELEASE >= 6
void PackageLoad(const PackageInfoTable* Table, TLibModule* Module) {
    Load(Table);
    if (Module) Module->InitTable = Table;
}

void PackageUnload(const PackageInfoTable* Table, TLibModule* Module) {
    // Cleared first: a finalisation that raises still leaves the table unloaded.
    if (Module && Module->InitTable == Table) Module->InitTable = nullptr;
    Unload(Table);
}
#else
void PackageLoad(const PackageInfoTable* Table) { Load(Table); }

void PackageUnload(const PackageInfoTable* Table) { Unload(Table); }
#endif

} // namespace host
