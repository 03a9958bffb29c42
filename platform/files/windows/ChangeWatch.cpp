// SPDX-License-Identifier: MIT
#include "platform/files/ChangeWatch.h"

namespace dw::platform {

// The calendar's own handle shuts other writers out from the moment it is
// read until its new contents are in place: there is no lease to take, and
// no writer can come by meanwhile. Only a calendar that another program had
// open for writing before cannot be guarded so.
LeaseTake ChangeWatch::start(const SourceFile& source)
{
    fd_ = source.fd.get();
    seen_ = source.identity;
    return source.othersWriting ? LeaseTake::InUse : LeaseTake::Held;
}

bool ChangeWatch::handOverToWriter()
{
    return unchanged();
}

bool ChangeWatch::watchWriter(NativeFile fd)
{
    fd_ = fd;
    return unchanged();
}

bool ChangeWatch::unchanged() const
{
    FileIdentity now;
    return identityOf(fd_, now) && now.sameContentAs(seen_);
}

} // namespace dw::platform
