// SPDX-License-Identifier: MIT
#include "ShellModule.h"

#include "platform/changes/ChangeNotify.h"
#include "platform/idlist/IdList.h"

#include <algorithm>
#include <cctype>
#include <list>
#include <mutex>

namespace dw::platform {

struct ModuleRecord {
    ModuleDefinition definition;
    int references = 0;
    bool builtIn = false;
};

namespace {

template <class Function>
ModuleProc proc(Function function)
{
    return reinterpret_cast<ModuleProc>(function);
}

ModuleDefinition shellModuleDefinition()
{
    using ConstList = const ItemIdList*;
    return {std::string(kShellModuleName),
            {
                {2, "SHChangeNotifyRegister", proc(&SHChangeNotifyRegister)},
                {4, "SHChangeNotifyDeregister", proc(&SHChangeNotifyDeregister)},
                {16, "ILFindLastID", proc(static_cast<ItemIdList* (*)(ItemIdList*)>(&ILFindLastID))},
                {17, "ILRemoveLastID", proc(&ILRemoveLastID)},
                {18, "ILClone", proc(&ILClone)},
                {19, "ILCloneFirst", proc(&ILCloneFirst)},
                {21, "ILIsEqual", proc(&ILIsEqual)},
                {25, "ILCombine", proc(&ILCombine)},
                {152, "ILGetSize", proc(static_cast<std::uint32_t (*)(ConstList)>(&ILGetSize))},
                {153, "ILGetNext", proc(static_cast<ItemIdList* (*)(ItemIdList*)>(&ILGetNext))},
                {155, "ILFree", proc(&ILFree)},
            }};
}

std::string canonicalName(std::string_view name)
{
    std::string canonical(name);
    std::transform(canonical.begin(), canonical.end(), canonical.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (canonical.size() > 4 && canonical.ends_with(".dll"))
        canonical.resize(canonical.size() - 4);
    return canonical;
}

class ModuleTable {
public:
    ModuleTable()
    {
        m_records.push_back({shellModuleDefinition(), 0, true});
    }

    std::mutex mutex;

    ModuleRecord* find(std::string_view name)
    {
        const std::string wanted = canonicalName(name);
        for (ModuleRecord& record : m_records) {
            if (canonicalName(record.definition.name) == wanted)
                return &record;
        }
        return nullptr;
    }

    bool owns(const ModuleRecord* module) const
    {
        return std::any_of(m_records.begin(), m_records.end(),
                           [&](const ModuleRecord& record) { return &record == module; });
    }

    // Records never move (std::list), so handles stay valid; a removed
    // record is kept without its entries rather than freed, for the same reason.
    void add(ModuleDefinition definition) { m_records.push_back({std::move(definition), 0, false}); }

private:
    std::list<ModuleRecord> m_records;
};

ModuleTable& table()
{
    static ModuleTable modules;
    return modules;
}

} // namespace

bool RegisterModule(ModuleDefinition definition)
{
    ModuleTable& modules = table();
    std::lock_guard lock(modules.mutex);
    if (ModuleRecord* existing = modules.find(definition.name)) {
        if (existing->builtIn || existing->references > 0)
            return false;
        existing->definition = std::move(definition);
        return true;
    }
    modules.add(std::move(definition));
    return true;
}

bool UnregisterModule(std::string_view name)
{
    ModuleTable& modules = table();
    std::lock_guard lock(modules.mutex);
    ModuleRecord* existing = modules.find(name);
    if (!existing || existing->builtIn || existing->references > 0)
        return false;
    existing->definition.exports.clear();
    existing->definition.name = "\x01removed:" + existing->definition.name;
    return true;
}

ModuleHandle LoadModule(std::string_view name)
{
    ModuleTable& modules = table();
    std::lock_guard lock(modules.mutex);
    ModuleRecord* record = modules.find(name);
    if (!record)
        return nullptr;
    ++record->references;
    return record;
}

bool FreeModule(ModuleHandle module)
{
    ModuleTable& modules = table();
    std::lock_guard lock(modules.mutex);
    if (!module || !modules.owns(module) || module->references == 0)
        return false;
    --module->references;
    return true;
}

ModuleProc GetProcAddressByOrdinal(ModuleHandle module, std::uint16_t ordinal)
{
    ModuleTable& modules = table();
    std::lock_guard lock(modules.mutex);
    if (!module || !modules.owns(module) || module->references == 0)
        return nullptr;
    for (const ModuleExport& entry : module->definition.exports) {
        if (entry.ordinal == ordinal)
            return entry.proc;
    }
    return nullptr;
}

int ModuleReferenceCount(std::string_view name)
{
    ModuleTable& modules = table();
    std::lock_guard lock(modules.mutex);
    const ModuleRecord* record = modules.find(name);
    return record ? record->references : 0;
}

std::string ModuleName(ModuleHandle module)
{
    ModuleTable& modules = table();
    std::lock_guard lock(modules.mutex);
    return module && modules.owns(module) ? module->definition.name : std::string();
}

} // namespace dw::platform
