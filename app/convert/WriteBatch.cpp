// SPDX-License-Identifier: MIT
#include "app/convert/WriteBatch.h"

#include "platform/files/Replacement.h"

#include <cerrno>
#include <functional>

namespace dw::convert {

namespace {

// A batch stays small enough that the files it keeps open (two per
// calendar, and a batch is gathered while another is flushed), and the pages
// it leaves for the flush, stay modest; large enough to keep the disk busy.
constexpr std::size_t mostPending = 128;
constexpr std::size_t mostEvents = 1024;
constexpr std::uint64_t mostPendingBytes = std::uint64_t(64) << 20;
constexpr std::size_t flushThreads = 32;
constexpr std::size_t closeThreads = 8;

} // namespace

WriteBatch::WriteBatch(const platform::FileIo& io, ConversionObserver* observer)
    : io_(io), observer_(observer), flushPool_(flushThreads), closePool_(closeThreads)
{
}

WriteBatch::~WriteBatch()
{
    std::int32_t unreported = 0;
    (void)abandon(unreported);
    waitForClosing();
}

void WriteBatch::skip(const std::string& path, const std::string& reason)
{
    if (empty()) {
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

bool WriteBatch::empty() const
{
    return events_.empty() && !flushing_;
}

bool WriteBatch::full() const
{
    return pending_ >= mostPending || events_.size() >= mostEvents || pendingBytes_ >= mostPendingBytes;
}

bool WriteBatch::holds(const platform::FileIdentity& identity) const
{
    const auto heldIn = [&](const std::vector<Event>& events) {
        for (const Event& event : events)
            if (event.pending && event.pending->source.identity.sameFileAs(identity))
                return true;
        return false;
    };
    return heldIn(events_) || (flushing_ && heldIn(flushing_->events));
}

void WriteBatch::commitInBackground(std::int32_t& written)
{
    // The batch before is settled first: its reports come before this one's.
    settle(written);
    if (pending_ == 0) {
        report(events_, events_.size(), written); // skipped calendars only
        events_.clear();
        return;
    }
    std::vector<std::function<int()>> flushes;
    for (const Event& event : events_)
        if (event.pending)
            // Called once and never again: after a failed flush the kernel may
            // have dropped the pages, and a second call could wrongly succeed.
            flushes.push_back([this, fd = event.pending->replacement.fd()] { return io_.fdatasync(fd) == 0 ? 0 : errno; });
    auto flushing = std::make_unique<Flushing>();
    flushing->events = std::move(events_);
    std::vector<Event>& events = flushing->events;
    flushing->placed = placer_.post([this, &events, flushes = std::move(flushes)] { return putInPlace(events, flushes); });
    flushing_ = std::move(flushing);
    events_.clear();
    pending_ = 0;
    pendingBytes_ = 0;
}

void WriteBatch::commit(std::int32_t& written)
{
    commitInBackground(written);
    settle(written);
}

std::exception_ptr WriteBatch::abandon(std::int32_t& written)
{
    events_.clear();
    pending_ = 0;
    pendingBytes_ = 0;
    try {
        settle(written);
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

// Flushes the new files, puts them in place in list order and flushes their
// folders; stops at the first calendar that fails.
WriteBatch::Placed WriteBatch::putInPlace(std::vector<Event>& events, const std::vector<std::function<int()>>& flushes)
{
    const std::vector<int> results = flushPool_.run(flushes);
    Placed placed{events.size(), 0};
    std::size_t flushed = 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (!events[i].pending)
            continue;
        placed.error = results[flushed++];
        if (placed.error != 0) {
            placed.until = i;
            break;
        }
    }
    placed.until = install(events, placed.until, placed.error);
    placed.until = firstUnflushedFolder(events, placed.until, placed.error);
    return placed;
}

// Reports the batch put in place meanwhile, once it is, and lets its
// originals go.
void WriteBatch::settle(std::int32_t& written)
{
    if (!flushing_)
        return;
    const std::unique_ptr<Flushing> batch = std::move(flushing_);
    const Placed placed = batch->placed.get();
    std::vector<Event>& events = batch->events;
    report(events, placed.until, written);
    letOriginalsGo(events);
    if (placed.until < events.size())
        throw ConversionError(texts::streamWriteError, events[placed.until].path, placed.error);
}

// Puts the new files in place in list order; answers the first that failed,
// or `until`.
std::size_t WriteBatch::install(std::vector<Event>& events, std::size_t until, int& error)
{
    for (std::size_t i = 0; i < until; ++i) {
        PendingCalendar* calendar = events[i].pending.get();
        if (!calendar)
            continue;
        const platform::ReplaceOutcome outcome =
            platform::installReplacement(calendar->source, calendar->watch, calendar->replacement);
        switch (outcome.result) {
        case platform::ReplaceResult::Replaced: events[i].installed = true; break;
        case platform::ReplaceResult::ChangedOnDisk: events[i].outcome = texts::changedMeanwhile; break;
        case platform::ReplaceResult::InUse: events[i].outcome = texts::openElsewhere; break;
        default:
            error = outcome.error;
            return i;
        }
    }
    return until;
}

// Flushes, all at once, each folder where a file was put in place; answers
// the first calendar whose folder could not be flushed, or `until`.
std::size_t WriteBatch::firstUnflushedFolder(std::vector<Event>& events, std::size_t until, int& error)
{
    std::vector<const platform::Folder*> folders;
    std::vector<std::size_t> folderOf(until, 0);
    for (std::size_t i = 0; i < until; ++i) {
        if (!events[i].installed)
            continue;
        const platform::Folder& folder = *events[i].pending->source.folder;
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
    const std::vector<int> results = flushPool_.run(flushes);
    for (std::size_t i = 0; i < until; ++i)
        if (events[i].installed && results[folderOf[i]] != 0) {
            error = results[folderOf[i]];
            return i;
        }
    return until;
}

// The originals replaced are gone by name but still open; closing them frees
// their space, which on a file system mounted with "discard" waits for the
// disk each time. Closed all at once, and while the run goes on, those waits
// overlap.
void WriteBatch::letOriginalsGo(std::vector<Event>& events)
{
    std::vector<platform::FileDescriptor> originals;
    for (Event& event : events)
        if (event.installed)
            originals.push_back(std::move(event.pending->source.fd));
    if (originals.empty())
        return;
    waitForClosing(); // so that no more than one batch of them stays open
    closing_ = closer_.post([this, originals = std::move(originals)]() mutable {
        std::vector<std::function<int()>> closes;
        for (platform::FileDescriptor& original : originals)
            closes.push_back([&original] { return original.close(); });
        closePool_.run(closes);
    });
}

void WriteBatch::waitForClosing()
{
    if (closing_.valid())
        closing_.get();
}

void WriteBatch::report(const std::vector<Event>& events, std::size_t until, std::int32_t& written)
{
    for (std::size_t i = 0; i < until; ++i) {
        const Event& event = events[i];
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
