// SPDX-License-Identifier: MIT
#include "platform/files/MatchMetadata.h"

#include "platform/files/ExtendedAttributes.h"
#include "platform/files/InodeFlags.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace dw::platform {

namespace {

MetadataOutcome notPossible(int error) { return {MetadataMatch::NotPossible, error}; }

bool inOurGroups(gid_t group)
{
    if (group == ::getegid())
        return true;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? std::size_t(count) : 0);
    if (count > 0 && ::getgroups(count, groups.data()) == count)
        for (gid_t ours : groups)
            if (ours == group)
                return true;
    return false;
}

int giveOwnership(int targetFd, const struct stat& now, const FileIdentity& source)
{
    const uid_t owner = now.st_uid == source.owner ? uid_t(-1) : source.owner;
    const gid_t group = now.st_gid == source.group ? gid_t(-1) : source.group;
    if (owner == uid_t(-1) && group == gid_t(-1))
        return 0;
    return ::fchown(targetFd, owner, group) == 0 ? 0 : errno;
}

} // namespace

bool mayTakeOwnership(const FileIdentity& source)
{
    if (::geteuid() == 0)
        return true;
    return source.owner == ::geteuid() && inOurGroups(source.group);
}

MetadataOutcome matchMetadata(int sourceFd, const FileIdentity& source, int targetFd)
{
    struct stat now {};
    if (::fstat(targetFd, &now) != 0)
        return {MetadataMatch::Failed, errno};
    if (int error = giveOwnership(targetFd, now, source))
        return notPossible(error);
    const AttributeOutcome attributes = matchExtendedAttributes(sourceFd, targetFd);
    if (attributes.result == AttributeMatch::Failed)
        return {MetadataMatch::Failed, attributes.error};
    if (attributes.result == AttributeMatch::NotPossible)
        return notPossible(attributes.error);
    if (int error = copyInodeFlags(inodeFlags(sourceFd), targetFd))
        return notPossible(error);
    // The mode comes last: a change of owner clears the set-id bits, and an
    // ACL set above changes the group bits.
    if (::fchmod(targetFd, source.mode & 07777) != 0)
        return {MetadataMatch::Failed, errno};
    // The kernel quietly drops a set-group-id bit for a group we are not in.
    if (::fstat(targetFd, &now) != 0)
        return {MetadataMatch::Failed, errno};
    if (now.st_uid != source.owner || now.st_gid != source.group || (now.st_mode & 07777) != (source.mode & 07777))
        return notPossible(EPERM);
    return {};
}

} // namespace dw::platform
