// SPDX-License-Identifier: MIT
#pragma once
// An open folder: everything inside it is reached relative to its handle,
// so neither the depth of a tree nor the length of a path matters, and a
// folder renamed while we work in it is still the folder we opened.

#include "platform/files/FileDescriptor.h"
#include "platform/files/FileIo.h"

#include <cstdint>
#include <memory>
#include <string>

namespace dw::platform {

class Folder {
public:
    // Opens the folder at `path` (relative to the working folder unless it
    // starts with "/"), whatever its length. Null and `error` on failure.
    static std::shared_ptr<Folder> open(const std::string& path, int& error);
    // Opens the folder `name` inside `parent`; with `followLinks` false, a
    // symbolic link is refused (ELOOP or ENOTDIR).
    static std::shared_ptr<Folder> openIn(const Folder& parent, const std::string& name, bool followLinks, int& error);

    NativeFile fd() const { return fd_.get(); }
    std::uint64_t device() const { return device_; }
    std::uint64_t inode() const { return inode_; }
    bool sameFolderAs(const Folder& other) const { return device_ == other.device_ && inode_ == other.inode_; }

    // Flushes the folder's entries to disk; 0 or errno.
    int sync(const FileIo& io) const;

    Folder(FileDescriptor fd, std::uint64_t device, std::uint64_t inode)
        : fd_(std::move(fd)), device_(device), inode_(inode)
    {
    }

private:
    static std::shared_ptr<Folder> adopt(NativeFile fd, int& error);

    FileDescriptor fd_;
    std::uint64_t device_;
    std::uint64_t inode_;
};

} // namespace dw::platform
