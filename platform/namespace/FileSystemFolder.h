// SPDX-License-Identifier: MIT
#pragma once
// A folder of the file system: its children are 'F' entry ids (IdRecord.h).
// Serves every real directory, whether reached through a volume of
// Computer, the home folder, a network share, or the desktop directory.

#include "platform/namespace/EntryStatus.h"
#include "platform/namespace/NamespaceFolder.h"

#include <string_view>

namespace dw::platform {

class FileSystemFolder : public NamespaceFolder {
public:
    FileSystemFolder(std::shared_ptr<NamespaceContext> context, IdListPtr absolute, std::string path,
                     DriveType driveType);

    HResult ParseDisplayName(const std::string& name, IdListPtr& result) override;
    HResult EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result) override;
    ListingOutcome ListChildren(const ListingOptions& options, const ChildSink& sink) override;

    const std::string& path() const { return path_; }
    DriveType driveType() const { return driveType_; }

protected:
    HResult bindChild(const IdRecord& child, ShellFolderPtr& result) override;
    int compareChildren(const IdRecord& first, const IdRecord& second) override;
    HResult childAttributes(const IdRecord& child, SfgaoFlags asked, SfgaoFlags& result) override;
    HResult childDisplayName(const IdRecord& child, ShgdnFlags flags, std::string& name) override;
    HResult renameChild(const IdRecord& child, const std::string& name, IdListPtr* newRelative) override;
    HResult childFindData(const IdRecord& child, FindData& data) override;
    std::string childIconName(const IdRecord& child, bool open) override;
    std::string childPath(const IdRecord& child) override;

private:
    SfgaoFlags entryAttributes(std::string_view name, const EntryStatus& status, bool folderWritable) const;
    // The status of a child; a volume's mount point is described from the
    // mount table alone (its server may not answer).
    std::optional<EntryStatus> childStatus(const std::string& childPath) const;

    // Removable, CD-ROM and network volumes are slow or may spin up a drive:
    // their folders are taken to have subfolders without looking.
    bool mayProbe(const std::string& childPath) const;

    std::string path_;
    DriveType driveType_;
};

// Cleans an absolute path: repeated "/" and "." go, a trailing "/" goes (but
// "/" stays), and ".." is resolved as the kernel resolves it, from where the
// components before it really lead, links followed ("/a/link/../b" with
// link -> /x/y is "/x/b"). Empty for a relative path, and for one whose ".."
// follows something that is no folder.
std::string cleanAbsolutePath(std::string_view path);

// Relative ids of `components` below `folderPath`, each checked on disk;
// E_FILE_NOT_FOUND when one does not exist.
HResult parseComponents(const std::string& folderPath, std::string_view relativePath, IdListPtr& result);

} // namespace dw::platform
