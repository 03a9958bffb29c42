// SPDX-License-Identifier: MIT
#include "platform/settings/DurableCreate.h"

#include "platform/files/FileDescriptor.h"
#include "platform/files/WholeFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dw::platform {

namespace {

int syncFolder(const std::string& folder)
{
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        return errno;
    return ::fsync(dir.get()) == 0 ? 0 : errno;
}

// Takes away the empty file we made, unless someone has written to it since.
void removeIfStillOurs(const std::string& path, const FileIdentity& made)
{
    FileIdentity now;
    if (currentIdentity(path, now) && now.sameContentAs(made))
        ::unlink(path.c_str());
}

} // namespace

std::string parentFolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int makeFoldersDurably(const std::string& folder)
{
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0)
        return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    const std::string parent = parentFolderOf(folder);
    if (parent != folder)
        if (int error = makeFoldersDurably(parent))
            return error;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    return syncFolder(parent);
}

ReplaceOutcome createFileDurably(const std::string& path, std::string_view content, const FileIo& io)
{
    // An empty file claims the name first, so nothing that appears there in
    // the meantime is overwritten; the contents then go in as a replacement.
    // Should we stop in between, an empty file is a valid empty store.
    FileDescriptor claim(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600));
    if (!claim.valid())
        return {errno == EEXIST ? ReplaceResult::ChangedOnDisk : ReplaceResult::CannotCreate, errno};
    struct stat status {};
    if (::fstat(claim.get(), &status) != 0) {
        const int error = errno;
        ::unlink(path.c_str());
        return {ReplaceResult::CannotCreate, error};
    }
    claim.reset();
    const FileIdentity made = identityFromStat(status);
    const ReplaceOutcome outcome = replaceFileContents(path, made, content, io);
    if (outcome.result != ReplaceResult::Replaced && outcome.result != ReplaceResult::ChangedOnDisk)
        removeIfStillOurs(path, made);
    return outcome;
}

} // namespace dw::platform
