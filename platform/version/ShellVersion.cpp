// SPDX-License-Identifier: MIT
#include "ShellVersion.h"

#include "platform/version/ElfSection.h"
#include "platform/version/FileVersionInfo.h"
#include "platform/version/ModulePath.h"
#include "platform/version/VersionBlock.h"
#include "platform/version/VersionNumber.h"

#include <cstdio>
#include <mutex>

namespace dw::platform {

namespace {

std::mutex g_pathMutex;
std::string g_shellModulePath; // empty: the file that holds this code

FileVersionBlock shellModuleBlock(const std::string& path)
{
    FileVersionBlock block = GetFileVersionInfo(path, kShellVersionSectionName);
    if (block.error == FileVersionError::NoVersionInfo)
        block = GetFileVersionInfo(path);
    return block;
}

std::string stringPath(const VersionTranslation& translation, const char* key)
{
    char prefix[40];
    std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%.4x%.4x\\", unsigned(translation.language),
                  unsigned(translation.codePage));
    return prefix + std::string(key);
}

} // namespace

std::string SystemShellModulePath()
{
    {
        std::lock_guard lock(g_pathMutex);
        if (!g_shellModulePath.empty())
            return g_shellModulePath;
    }
    // The shell's version block is linked beside this code: in the shared
    // library of the shell controls, or in a program that took them statically.
    return ModulePathOf(&g_pathMutex);
}

void SetSystemShellModulePath(std::string path)
{
    std::lock_guard lock(g_pathMutex);
    g_shellModulePath = std::move(path);
}

std::optional<double> ReadShellModuleVersion(const std::string& path)
{
    const FileVersionBlock block = shellModuleBlock(path);
    if (block.error != FileVersionError::None)
        return std::nullopt;
    const auto translation = VerFirstTranslation(block.block);
    if (!translation)
        return std::nullopt;
    const auto text = VerQueryString(block.block, stringPath(*translation, "FileVersion"));
    if (!text)
        return std::nullopt;
    return VersionTextToNumber(*text, LocaleDecimalSeparator());
}

double SystemShellVersion()
{
    return ReadShellModuleVersion(SystemShellModulePath()).value_or(0.0);
}

bool SpecialFolderNeedsNewShell(int csidl)
{
    return csidl == 1 || (csidl >= 29 && csidl <= 34);
}

bool ShellSupportsSpecialFolder(int csidl, double shellVersion)
{
    return !SpecialFolderNeedsNewShell(csidl) || shellVersion >= kShellVersionForNewSpecialFolders;
}

} // namespace dw::platform
