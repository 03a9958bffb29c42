// SPDX-License-Identifier: MIT
#include "app/convert/NewFileSink.h"

#include "platform/files/CopyContents.h"
#include "platform/files/InodeFlags.h"
#include "platform/files/Writeback.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace dw::convert {

namespace {

// Large calendars are handed to the disk in steps of this size, and we wait
// for the step before the last, so unwritten pages never pile up. The rest,
// and small calendars whole, are written by the flush of their batch, which
// runs beside the conversion of the next one.
constexpr std::uint64_t writebackStep = std::uint64_t(8) << 20;

} // namespace

bool isReadOnlyForUs(const platform::SourceFile& source)
{
    if (::geteuid() == 0)
        return (source.identity.mode & 0222) == 0;
    return ::faccessat(source.folder->fd(), source.name.c_str(), W_OK, AT_EACCESS) != 0;
}

int NewFileSink::create()
{
    refused_ = true;
    if (isReadOnlyForUs(source_))
        return EACCES;
    // Immutable and append-only files cannot be replaced, root or not; the
    // rename would fail only after all the work.
    if (platform::forbidsRewriting(platform::inodeFlags(source_.fd.get())))
        return EPERM;
    if (int error = file_.create(source_.folder, source_.name, "new"))
        return error;
    refused_ = false;
    return 0;
}

int NewFileSink::write(std::string_view bytes)
{
    if (!file_.valid())
        if (int error = create())
            return error;
    if (int error = platform::writeAll(io_, file_.fd(), bytes, written_))
        return error;
    written_ += bytes.size();
    if (written_ - handedToDisk_ >= writebackStep) {
        platform::awaitWriteback(file_.fd(), waitedFor_, handedToDisk_ - waitedFor_);
        waitedFor_ = handedToDisk_;
        platform::startWriteback(file_.fd(), handedToDisk_, written_ - handedToDisk_);
        handedToDisk_ = written_;
    }
    return 0;
}

} // namespace dw::convert
