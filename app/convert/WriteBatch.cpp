// SPDX-License-Identifier: MIT
#include "app/convert/WriteBatch.h"

#include "platform/files/Replacement.h"

#include <cerrno>
#include <functional>

namespace dw::convert {

namespace {

// A batch stays small enough that the files it keeps open, and the pages it
// leaves for the flush, stay modest; large enough to keep the disk busy.
constexpr std::size_t mostPending = 128;
constexpr std::size_t mostEvents = 1024;
constexpr std::uint64_t mostPendingBytes = std::uint64_t(64) << 20;
constexpr std::size_t flushThreads = 32;

} // namespace

WriteBatch::WriteBatch(const platform::FileIo& io, ConversionObserver* observer)
    : io_(io), observer_(observer), pool_(flushThreads)
{
}

void WriteBatch::skip(const std::string& path, const std::string& reason)
{
    if (events_.empty()) {
        if (observer_)
            observer_->calendarSkipped(path, reason);
        return;
    }
    events_.push_back({path, reason, nullptr, {}, false});
}

void WriteBatch::add(PendingCalendar calendar)
{
    ++pending_;
    pendingBytes_ += calendar.bytes;
    const std::string path = calendar.path;
    events_.push_back({path, {}, std::make_unique<PendingCalendar>(std::move(calendar)), {}, false});
}

bool WriteBatch::full() const
{
    return pending_ >= mostPending || events_.size() >= mostEvents || pendingBytes_ >= mostPendingBytes;
}

bool WriteBatch::holds(const platform::FileIdentity& identity) const
{
    for (const Event& event : events_)
        if (event.pending && event.pending->source.identity.sameFileAs(identity))
            return true;
    return false;
}

void WriteBatch::commit(std::int32_t& written)
{
    std::vector<std::function<int()>> flushes;
    std::vector<std::size_t> flushedEvent;
    for (std::size_t i = 0; i < events_.size(); ++i) {
        if (!events_[i].pending)
            continue;
        const int fd = events_[i].pending->replacement.fd();
        // Called once and never again: after a failed flush the kernel may
        // have dropped the pages, and a second call could wrongly succeed.
        flushes.push_back([this, fd] { return io_.fdatasync(fd) == 0 ? 0 : errno; });
        flushedEvent.push_back(i);
    }
    const std::vector<int> results = pool_.run(flushes);
    int error = 0;
    std::size_t until = events_.size();
    for (std::size_t k = 0; k < results.size(); ++k)
        if (results[k] != 0) {
            until = flushedEvent[k];
            error = results[k];
            break;
        }
    until = install(until, error);
    until = firstUnflushedFolder(until, error);
    report(until, written);
    const bool failed = until < events_.size();
    const std::string failedPath = failed ? events_[until].path : std::string();
    letOriginalsGo();
    events_.clear();
    pending_ = 0;
    pendingBytes_ = 0;
    if (failed)
        throw ConversionError(texts::streamWriteError, failedPath, error);
}

// Puts the new files in place in list order; answers the first that failed,
// or `until`.
std::size_t WriteBatch::install(std::size_t until, int& error)
{
    for (std::size_t i = 0; i < until; ++i) {
        PendingCalendar* calendar = events_[i].pending.get();
        if (!calendar)
            continue;
        const platform::ReplaceOutcome outcome =
            platform::installReplacement(calendar->source, calendar->watch, calendar->replacement);
        switch (outcome.result) {
        case platform::ReplaceResult::Replaced: events_[i].installed = true; break;
        case platform::ReplaceResult::ChangedOnDisk: events_[i].outcome = texts::changedMeanwhile; break;
        case platform::ReplaceResult::InUse: events_[i].outcome = texts::openElsewhere; break;
        default:
            error = outcome.error;
            return i;
        }
    }
    return until;
}

// Flushes, all at once, each folder where a file was put in place; answers
// the first calendar whose folder could not be flushed, or `until`.
std::size_t WriteBatch::firstUnflushedFolder(std::size_t until, int& error)
{
    std::vector<const platform::Folder*> folders;
    std::vector<std::size_t> folderOf(until, 0);
    for (std::size_t i = 0; i < until; ++i) {
        if (!events_[i].installed)
            continue;
        const platform::Folder& folder = *events_[i].pending->source.folder;
        std::size_t k = 0;
        while (k < folders.size() && !folders[k]->sameFolderAs(folder))
            ++k;
        if (k == folders.size())
            folders.push_back(&folder);
        folderOf[i] = k;
    }
    std::vector<std::function<int()>> flushes;
    for (const platform::Folder* folder : folders)
        flushes.push_back([this, folder] { return folder->sync(io_); });
    const std::vector<int> results = pool_.run(flushes);
    for (std::size_t i = 0; i < until; ++i)
        if (events_[i].installed && results[folderOf[i]] != 0) {
            error = results[folderOf[i]];
            return i;
        }
    return until;
}

// The originals replaced are gone by name but still open; closing them frees
// their space, which on a file system mounted with "discard" waits for the
// disk each time. Closed all at once, those waits overlap.
void WriteBatch::letOriginalsGo()
{
    std::vector<std::function<int()>> closes;
    for (Event& event : events_)
        if (event.installed)
            closes.push_back([fd = std::make_shared<platform::FileDescriptor>(std::move(event.pending->source.fd))] {
                return fd->close();
            });
    pool_.run(closes);
}

void WriteBatch::report(std::size_t until, std::int32_t& written)
{
    for (std::size_t i = 0; i < until; ++i) {
        const Event& event = events_[i];
        const std::string& reason = event.pending ? event.outcome : event.skipReason;
        if (event.installed)
            ++written;
        if (!observer_)
            continue;
        if (event.installed)
            observer_->calendarWritten(event.path);
        else
            observer_->calendarSkipped(event.path, reason);
    }
}

} // namespace dw::convert
