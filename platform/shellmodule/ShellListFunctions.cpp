// SPDX-License-Identifier: MIT
#include "ShellListFunctions.h"

#include "base/exceptions/SsBase.h"
#include "platform/shellmodule/ClipboardFormats.h"
#include "platform/shellmodule/ShellModule.h"

#include <mutex>
#include <optional>

namespace dw::platform {

namespace {

class ModuleReference {
public:
    explicit ModuleReference(ModuleHandle module) : m_module(module) {}
    ~ModuleReference() { FreeModule(m_module); }
    ModuleReference(const ModuleReference&) = delete;
    ModuleReference& operator=(const ModuleReference&) = delete;

    ModuleHandle get() const { return m_module; }
    ModuleHandle release() { return std::exchange(m_module, nullptr); }

private:
    ModuleHandle m_module;
};

template <class Function>
void take(ModuleHandle module, std::uint16_t ordinal, const char* name, Function& slot)
{
    const ModuleProc entry = GetProcAddressByOrdinal(module, ordinal);
    if (!entry)
        throw ESsShellError(ssscShellEntryMissing, {int(ordinal), name});
    slot = reinterpret_cast<Function>(entry);
}

// The program's table with the module reference it holds; released by
// ReleaseShellListFunctions() or when the program ends.
struct LoadedTable {
    ShellListFunctionTable functions;
    ModuleHandle module = nullptr;
    unsigned idListFormat = 0;

    LoadedTable() = default;
    LoadedTable(const LoadedTable&) = delete;
    LoadedTable& operator=(const LoadedTable&) = delete;
    ~LoadedTable() { FreeModule(module); }
};

std::mutex g_mutex;

std::optional<LoadedTable>& loadedTable()
{
    // The module table must be made before, so that it is destroyed after,
    // the program's table that holds a reference into it.
    (void)ModuleReferenceCount(kShellModuleName);
    static std::optional<LoadedTable> table;
    return table;
}

const LoadedTable& ensureLoaded()
{
    std::lock_guard lock(g_mutex);
    std::optional<LoadedTable>& table = loadedTable();
    if (!table) {
        table.emplace();
        try {
            LoadShellListFunctionsFrom(kShellModuleName, table->functions, table->module);
            table->idListFormat = RegisterClipboardFormat(kShellIdListArrayFormatName);
            if (table->idListFormat == 0)
                throw ESsShellError(ssscClipboardFormatFailed, {kShellIdListArrayFormatName});
        } catch (...) {
            table.reset();
            throw;
        }
    }
    return *table;
}

} // namespace

void LoadShellListFunctionsFrom(std::string_view moduleName, ShellListFunctionTable& table, ModuleHandle& module)
{
    ModuleReference reference(LoadModule(moduleName));
    if (!reference.get())
        throw ESsShellError(ssscShellModuleNotLoaded, {moduleName});
    const ModuleHandle m = reference.get();
    ShellListFunctionTable loaded;
    take(m, 16, "ILFindLastID", loaded.ILFindLastID);
    take(m, 17, "ILRemoveLastID", loaded.ILRemoveLastID);
    take(m, 18, "ILClone", loaded.ILClone);
    take(m, 19, "ILCloneFirst", loaded.ILCloneFirst);
    take(m, 21, "ILIsEqual", loaded.ILIsEqual);
    take(m, 25, "ILCombine", loaded.ILCombine);
    take(m, 152, "ILGetSize", loaded.ILGetSize);
    take(m, 153, "ILGetNext", loaded.ILGetNext);
    take(m, 155, "ILFree", loaded.ILFree);
    take(m, 2, "SHChangeNotifyRegister", loaded.SHChangeNotifyRegister);
    take(m, 4, "SHChangeNotifyDeregister", loaded.SHChangeNotifyDeregister);
    table = loaded;
    module = reference.release();
}

const ShellListFunctionTable& ShellListFunctions()
{
    return ensureLoaded().functions;
}

unsigned ShellIdListArrayFormat()
{
    return ensureLoaded().idListFormat;
}

void ReleaseShellListFunctions()
{
    std::lock_guard lock(g_mutex);
    loadedTable().reset();
}

} // namespace dw::platform
