// SPDX-License-Identifier: MIT
#pragma once
// Modules of the platform and their entry points by ordinal.
//
// A module is a named table of entry points, each with an ordinal (and a
// name for messages). The platform's shell module, "shell32", is our own
// namespace layer: it serves the item-identifier-list functions of
// platform/idlist and the change-notification registration of
// platform/changes under the ordinals the shell gives them.
//
// Modules are counted like loaded libraries: LoadModule adds a reference,
// FreeModule drops one, and a module without references answers no entry
// points, so a handle kept past its release cannot reach them.
//
// Other modules can be registered (tests present a shell module with
// entries missing this way).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dw::platform {

// An entry point of unspecified type; callers cast it back to the type the
// ordinal is documented with.
using ModuleProc = void (*)();

struct ModuleExport {
    std::uint16_t ordinal;
    std::string name;
    ModuleProc proc;
};

struct ModuleDefinition {
    std::string name; // e.g. "shell32"; compared without case, ".dll" optional
    std::vector<ModuleExport> exports;
};

struct ModuleRecord;
using ModuleHandle = ModuleRecord*;

inline constexpr std::string_view kShellModuleName = "shell32";

// Makes `definition` loadable under its name, replacing a module of that name
// that has no references; false when such a module is loaded.
bool RegisterModule(ModuleDefinition definition);

// Removes a registered module that has no references; the shell module
// itself can be neither replaced nor removed.
bool UnregisterModule(std::string_view name);

// A reference to the module `name`; null when there is no such module.
ModuleHandle LoadModule(std::string_view name);

// Drops a reference; false for null or a module without references.
bool FreeModule(ModuleHandle module);

// The entry point with `ordinal`; null when the module has none or holds no
// references.
ModuleProc GetProcAddressByOrdinal(ModuleHandle module, std::uint16_t ordinal);

// References held on the module `name` (0 when not loaded or unknown).
int ModuleReferenceCount(std::string_view name);

// The module's name as registered ("" for null).
std::string ModuleName(ModuleHandle module);

} // namespace dw::platform
