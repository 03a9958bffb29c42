// SPDX-License-Identifier: MIT
#pragma once
// A new file beside a calendar that has no name until it is ready.
//
// It is created unnamed (O_TMPFILE), so a run that is killed while writing or
// flushing it leaves nothing behind; it is named only just before it takes
// the calendar's place. File systems without unnamed files get a hidden name
// from the start, which a killed run can leave behind. On Windows it has its
// hidden name from the start but is "delete pending" until it is named, which
// leaves nothing behind either.

#include "platform/files/FileDescriptor.h"
#include "platform/files/Folder.h"

#include <memory>
#include <string>

namespace dw::platform {

class NewFile {
public:
    NewFile() = default;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    NewFile(NewFile&& other) noexcept { *this = std::move(other); }
    NewFile& operator=(NewFile&&) noexcept;
    ~NewFile() { discard(); }

    // Creates the file in `folder`, open for reading and writing, readable by
    // us alone for now. `stem` and `kind` make up its hidden name
    // (".STEM.KIND.XXXXXX") if it needs one. 0 or errno.
    int create(const std::shared_ptr<Folder>& folder, const std::string& stem, const std::string& kind);

    bool valid() const { return fd_.valid(); }
    NativeFile fd() const { return fd_.get(); }
    const Folder& folder() const { return *folder_; }

    // Gives the file its hidden name; 0 or errno. Nothing to do if it has one.
    int giveName();
    const std::string& name() const { return name_; }
    // The name belongs elsewhere now: it is not taken away when we are done.
    void keepName() { name_.clear(); }
    // Takes the name away now; 0 or errno.
    int removeName();

    int close() { return fd_.close(); }
    // Closes the file and takes its name away, if it still has ours.
    void discard();

private:
    std::string hiddenName() const;

    std::shared_ptr<Folder> folder_;
    FileDescriptor fd_;
    std::string stem_;
    std::string kind_;
    std::string name_;
#if defined(_WIN32)
    std::string pendingName_; // the name it has while it is still to vanish on close
#endif
};

} // namespace dw::platform
