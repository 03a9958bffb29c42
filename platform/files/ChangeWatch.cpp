// SPDX-License-Identifier: MIT
#include "platform/files/ChangeWatch.h"

#include <sys/stat.h>

namespace dw::platform {

bool identityOf(int fd, FileIdentity& identity)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return false;
    identity = identityFromStat(status);
    return true;
}

LeaseTake ChangeWatch::start(const SourceFile& source)
{
    fd_ = source.fd.get();
    seen_ = source.identity;
    return lease_.take(fd_, LeaseKind::Read);
}

bool ChangeWatch::handOverToWriter()
{
    if (!unchanged())
        return false;
    wasLeased_ = lease_.held();
    lease_.release();
    return true;
}

bool ChangeWatch::watchWriter(int fd)
{
    fd_ = fd;
    // Another reader keeps a write lease from us; then the comparison is all
    // there is, as without a lease.
    if (wasLeased_)
        (void)lease_.take(fd, LeaseKind::Write);
    // A program that opened, wrote and closed between the two leases is
    // caught here.
    return unchanged();
}

bool ChangeWatch::unchanged() const
{
    FileIdentity now;
    return noWriterCameBy() && identityOf(fd_, now) && now.sameContentAs(seen_);
}

} // namespace dw::platform
