// SPDX-License-Identifier: MIT
#include "platform/files/WholeFile.h"

#include "platform/files/ChangeWatch.h"
#include "platform/files/CopyContents.h"
#include "platform/files/Folder.h"
#include "platform/files/MatchMetadata.h"
#include "platform/files/NewFile.h"
#include "platform/files/SourceFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace dw::platform {

namespace {

// The folder part and the name part of a path ("." for a bare name).
std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

int openAt(const std::string& path, SourceFile& file)
{
    const auto [folderPath, name] = splitPath(path);
    int error = 0;
    const std::shared_ptr<Folder> folder = Folder::open(folderPath, error);
    if (!folder)
        return error;
    return openSourceFile(folder, name, file);
}

// Reads exactly `size` bytes, then checks that nothing follows.
int readExactly(int fd, char* into, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, into + done, size - done, off_t(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return EAGAIN; // it shrank while we read it
        done += std::size_t(got);
    }
    char probe;
    ssize_t extra;
    do {
        extra = ::pread(fd, &probe, 1, off_t(done));
    } while (extra < 0 && errno == EINTR);
    if (extra < 0)
        return errno;
    return extra == 0 ? 0 : EAGAIN; // it grew while we read it
}

int writeAndFlush(const FileIo& io, const NewFile& file, std::string_view content)
{
    if (int error = writeAll(io, file.fd(), content, 0))
        return error;
    return io.fdatasync(file.fd()) == 0 ? 0 : errno;
}

} // namespace

ReadOutcome readWholeFile(const std::string& path, ByteBuffer& buffer, FileIdentity& identity)
{
    SourceFile file;
    if (int error = openAt(path, file))
        return {error};
    buffer.resizeUninitialised(std::size_t(file.identity.size));
    if (int error = readExactly(file.fd.get(), buffer.data(), buffer.size()))
        return {error};
    identity = file.identity;
    return {};
}

bool currentIdentity(const std::string& path, FileIdentity& identity)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return false;
    identity = identityFromStat(status);
    return true;
}

ReplaceOutcome replaceFileContents(const std::string& path, const FileIdentity& loaded, std::string_view content,
                                   const FileIo& io)
{
    SourceFile source;
    if (int error = openAt(path, source))
        return {error == ENOENT ? ReplaceResult::ChangedOnDisk : ReplaceResult::CannotCreate, error};
    if (!source.identity.sameContentAs(loaded))
        return {ReplaceResult::ChangedOnDisk, 0};
    ChangeWatch watch;
    if (watch.start(source) == LeaseTake::InUse)
        return {ReplaceResult::InUse, EBUSY};
    NewFile replacement;
    if (int error = replacement.create(source.folder, source.name, "new"))
        return {ReplaceResult::CannotCreate, error};
    if (int error = writeAndFlush(io, replacement, content))
        return {ReplaceResult::WriteFailed, error};
    bool inPlace = source.identity.links > 1 || !mayTakeOwnership(source.identity);
    if (!inPlace) {
        const MetadataOutcome metadata = matchMetadata(source.fd.get(), source.identity, replacement.fd());
        if (metadata.result == MetadataMatch::Failed)
            return {ReplaceResult::WriteFailed, metadata.error};
        inPlace = metadata.result == MetadataMatch::NotPossible;
    }
    if (inPlace)
        return rewriteInPlace(source, watch, replacement, content.size(), io);
    const std::shared_ptr<Folder> folder = source.folder;
    const ReplaceOutcome outcome = installReplacement(source, watch, replacement);
    if (outcome.result != ReplaceResult::Replaced)
        return outcome;
    if (int error = folder->sync(io))
        return {ReplaceResult::WriteFailed, error};
    return outcome;
}

} // namespace dw::platform
