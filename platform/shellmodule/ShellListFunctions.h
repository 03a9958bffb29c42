// SPDX-License-Identifier: MIT
#pragma once
// The shell's list functions, taken by ordinal from the shell module, and the
// registered clipboard format of "Shell IDList Array".
//
// The table is loaded once, on first use, by whichever component needs it
// first; later calls answer the same table. It holds a reference on the shell
// module until ReleaseShellListFunctions() or the end of the program.
//
//   const auto& shell = dw::platform::ShellListFunctions();   // may throw
//   dw::platform::ItemIdList* copy = shell.ILClone(list);
//
// A shell module lacking one of the eleven entry points fails the load with
// ESsShellError 111 naming the ordinal and function; a missing module with
// ESsShellError 112. Nothing stays loaded after a failed load.

#include "platform/changes/ChangeNotify.h"
#include "platform/idlist/IdList.h"
#include "platform/shellmodule/ShellModule.h"

#include <cstdint>
#include <string_view>

namespace dw::platform {

struct ShellListFunctionTable {
    ItemIdList* (*ILFindLastID)(ItemIdList*) = nullptr;                          // 16
    bool (*ILRemoveLastID)(ItemIdList*) = nullptr;                               // 17
    ItemIdList* (*ILClone)(const ItemIdList*) = nullptr;                         // 18
    ItemIdList* (*ILCloneFirst)(const ItemIdList*) = nullptr;                    // 19
    bool (*ILIsEqual)(const ItemIdList*, const ItemIdList*) = nullptr;           // 21
    ItemIdList* (*ILCombine)(const ItemIdList*, const ItemIdList*) = nullptr;    // 25
    std::uint32_t (*ILGetSize)(const ItemIdList*) = nullptr;                     // 152
    ItemIdList* (*ILGetNext)(ItemIdList*) = nullptr;                             // 153
    void (*ILFree)(ItemIdList*) = nullptr;                                       // 155
    unsigned long (*SHChangeNotifyRegister)(MessageWindow*, int, long, unsigned, int,
                                            const SHChangeNotifyEntry*) = nullptr; // 2
    bool (*SHChangeNotifyDeregister)(unsigned long) = nullptr;                   // 4
};

// The table from the shell module, loaded on first use.
const ShellListFunctionTable& ShellListFunctions();

// The registered clipboard format number of "Shell IDList Array" (loads the
// table too, as both are set up together).
unsigned ShellIdListArrayFormat();

// Drops the table and the reference on the shell module; the next call of
// ShellListFunctions() loads them again.
void ReleaseShellListFunctions();

// Loads a table from the module `moduleName` into `table`, holding one
// reference on it in `module` (to be freed with FreeModule). Throws like
// ShellListFunctions(); on failure nothing is held.
void LoadShellListFunctionsFrom(std::string_view moduleName, ShellListFunctionTable& table, ModuleHandle& module);

} // namespace dw::platform
