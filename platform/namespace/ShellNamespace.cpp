// SPDX-License-Identifier: MIT
#include "platform/namespace/ShellNamespace.h"

#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/LinuxShellNamespace.h"
#include "platform/namespace/NetworkPaths.h"

#include <mutex>

namespace dw::platform {

namespace {

std::shared_ptr<IShellNamespace>& installedNamespace()
{
    static std::shared_ptr<IShellNamespace> installed;
    return installed;
}

// Change notification reads the namespace from its own threads too.
std::mutex& namespaceMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::mutex& observerMutex()
{
    static std::mutex mutex;
    return mutex;
}

EnumerationObserver& observer()
{
    static EnumerationObserver current;
    return current;
}

} // namespace

std::shared_ptr<IShellNamespace> sharedShellNamespace()
{
    std::lock_guard lock(namespaceMutex());
    auto& installed = installedNamespace();
    if (!installed)
        installed = std::make_shared<LinuxShellNamespace>();
    return installed;
}

IShellNamespace& currentShellNamespace()
{
    return *sharedShellNamespace();
}

ScopedShellNamespace::ScopedShellNamespace(std::shared_ptr<IShellNamespace> replacement)
{
    std::lock_guard lock(namespaceMutex());
    previous_ = std::move(installedNamespace());
    installedNamespace() = std::move(replacement);
}

ScopedShellNamespace::~ScopedShellNamespace()
{
    std::lock_guard lock(namespaceMutex());
    installedNamespace() = std::move(previous_);
}

HResult SHGetDesktopFolder(ShellFolderPtr& desktop)
{
    desktop = currentShellNamespace().desktopFolder();
    return desktop ? S_OK : E_FAIL;
}

HResult SHGetSpecialFolderLocation(int csidl, IdListPtr& absolute)
{
    absolute.reset();
    return currentShellNamespace().specialFolderLocation(csidl, absolute);
}

HResult SHGetDataFromIDList(IShellFolder& folder, const ItemIdList* relative, FindData& data)
{
    return folder.GetFindData(relative, data);
}

bool ShellExecuteDefaultVerb(const ItemIdList* absolute)
{
    return absolute && currentShellNamespace().executeDefaultVerb(absolute);
}

std::optional<std::string> IShellNamespace::localPathOf(const std::string& parsingName)
{
    return localPathOfParsingName(std::vector<Volume>(), parsingName);
}

HResult FindFileData(const std::string& path, FindData& data)
{
    const auto local = localPathOfParsingName(path);
    if (!local)
        return E_FILE_NOT_FOUND;
    return readFindData(*local, data);
}

std::optional<std::string> localPathOfParsingName(const std::string& name)
{
    return currentShellNamespace().localPathOf(name);
}

bool isParsingName(std::string_view name)
{
    if (name.empty() || name.front() == '/')
        return true;
    const std::size_t scheme = name.find("://");
    return scheme != std::string_view::npos && scheme > 0 && name.substr(0, scheme).find('/') == std::string_view::npos;
}

IdListPtr parsingNameToIdList(const std::string& name)
{
    if (!isParsingName(name))
        return nullptr;
    ShellFolderPtr desktop;
    IdListPtr result;
    if (failed(SHGetDesktopFolder(desktop)) || failed(desktop->ParseDisplayName(name, result)))
        return nullptr;
    return result;
}

std::string idListToParsingName(const ItemIdList* absolute)
{
    ShellFolderPtr desktop;
    std::string name;
    if (!absolute || failed(SHGetDesktopFolder(desktop))
        || failed(desktop->GetDisplayNameOf(absolute, SHGDN_FORPARSING, name)))
        return {};
    return name;
}

ShellFolderPtr bindToFolder(const ItemIdList* absolute)
{
    ShellFolderPtr desktop;
    if (failed(SHGetDesktopFolder(desktop)))
        return nullptr;
    if (!absolute || ILIdSize(absolute) == 0)
        return desktop;
    ShellFolderPtr folder;
    if (failed(desktop->BindToObject(absolute, folder)))
        return nullptr;
    return folder;
}

ShellFolderPtr bindToParent(const ItemIdList* absolute)
{
    IdListPtr parent(ILClone(absolute));
    if (!parent)
        return nullptr;
    ILRemoveLastID(parent.get());
    return bindToFolder(parent.get());
}

void setEnumerationObserver(EnumerationObserver newObserver)
{
    std::lock_guard lock(observerMutex());
    observer() = std::move(newObserver);
}

bool folderEnumerationObserved()
{
    std::lock_guard lock(observerMutex());
    return static_cast<bool>(observer());
}

void notifyFolderEnumerated(const std::string& folderPath, std::int64_t modifiedNs, std::optional<FolderListing> entries)
{
    EnumerationObserver current;
    {
        std::lock_guard lock(observerMutex());
        current = observer();
    }
    if (current)
        current(folderPath, modifiedNs, std::move(entries));
}

} // namespace dw::platform
