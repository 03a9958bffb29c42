// SPDX-License-Identifier: MIT
#pragma once
// A Linux namespace over a temporary folder: its own home, desktop
// directory, trash and mount table, installed as the namespace in effect.

#include "platform/namespace/LinuxShellNamespace.h"

#include <QTemporaryDir>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <sys/mount.h>

namespace dw::platform::testing {

class TempNamespace {
public:
    // `extraMounts`: mount-table lines added after the root file system; the
    // text "@ROOT@" stands for the temporary folder.
    explicit TempNamespace(const std::string& extraMounts = {});
    // Removes the folder by its bytes: QTemporaryDir cannot remove names
    // that are not UTF-8, which these tests make on purpose.
    ~TempNamespace();
    TempNamespace(const TempNamespace&) = delete;
    TempNamespace& operator=(const TempNamespace&) = delete;

    std::string root;
    std::string home;
    std::string desktop;
    std::string trash;

    std::string makeFolder(const std::string& relative) const;
    std::string makeFile(const std::string& relative, const std::string& content = "x") const;
    std::string makeLink(const std::string& target, const std::string& relative) const;
    // A file in the trash whose original path was `originalPath`.
    void trashFile(const std::string& entryName, const std::string& originalPath) const;

    ShellFolderPtr desktopFolder() const { return namespace_->desktopFolder(); }

private:
    QTemporaryDir dir_;
    std::shared_ptr<LinuxShellNamespace> namespace_;
    std::unique_ptr<ScopedShellNamespace> scope_;
};

// A tmpfs of `size` mounted on an empty folder: a second volume, or one to
// fill. Needs the right to mount (root); check mounted() and skip without it.
class ScratchVolume {
public:
    ScratchVolume(std::string folder, const char* size) : folder_(std::move(folder))
    {
        std::filesystem::create_directories(folder_);
        const std::string options = std::string("size=") + size;
        mounted_ = ::mount("dwtest", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~ScratchVolume()
    {
        if (mounted_)
            ::umount2(folder_.c_str(), MNT_DETACH);
    }
    ScratchVolume(const ScratchVolume&) = delete;
    ScratchVolume& operator=(const ScratchVolume&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& path() const { return folder_; }
    bool makeReadOnly() const
    {
        return ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    std::string folder_;
    bool mounted_ = false;
};

// Children of a folder in enumeration order, as relative lists.
std::vector<IdListPtr> enumerate(IShellFolder& folder, ShcontfFlags flags);
std::string displayName(IShellFolder& folder, const ItemIdList* relative, ShgdnFlags flags = SHGDN_NORMAL);
SfgaoFlags attributesOf(IShellFolder& folder, const ItemIdList* relative, SfgaoFlags asked);

constexpr ShcontfFlags kAllChildren = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;
// The child of `folder` called `name` (exact bytes), or null.
IdListPtr childNamed(IShellFolder& folder, const std::string& name);
ShellFolderPtr folderAt(const std::string& path);

// Runs `check` as an unprivileged user when the tests run as root (root
// reads every folder whatever its mode); answers whether it held.
bool holdsWithoutPrivileges(const std::function<bool()>& check);

} // namespace dw::platform::testing
