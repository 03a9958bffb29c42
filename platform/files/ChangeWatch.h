// SPDX-License-Identifier: MIT
#pragma once
// Keeps watch over a calendar from the moment it is read until its new
// contents are in place, so that nothing another program writes meanwhile is
// lost. Where a lease can be had, any open for writing is noticed, however
// short; where it cannot (a file of another owner, a network file system),
// the file's size and last write time are compared, which misses a change
// that keeps both. On Windows the calendar's own handle shuts other writers
// out, which is the guard there.

#include "platform/files/FileIdentity.h"
#include "platform/files/Lease.h"
#include "platform/files/SourceFile.h"

namespace dw::platform {

class ChangeWatch {
public:
    // Starts watching the calendar just opened for reading.
    // InUse: another program has it open for writing, so it must be left alone.
    LeaseTake start(const SourceFile& source);

    // Our own open for writing would break the read lease, so it is let go
    // first; false when the file has changed. Then watchWriter() goes on
    // through the file opened for writing, with a write lease where one can
    // be had; false when the file changed in between.
    bool handOverToWriter();
    bool watchWriter(NativeFile fd);

    // No one has opened the file for writing, and it is as it was seen.
    bool unchanged() const;
    // No one has opened the file for writing; for after our own writes.
    bool noWriterCameBy() const { return !lease_.held() || lease_.intact(); }
    bool leased() const { return lease_.held(); }
    void stop() { lease_.release(); }

private:
    Lease lease_;
    FileIdentity seen_;
    NativeFile fd_ = noFile;
    bool wasLeased_ = false;
};

} // namespace dw::platform
