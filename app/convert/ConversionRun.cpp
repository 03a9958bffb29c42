// SPDX-License-Identifier: MIT
#include "app/convert/ConversionRun.h"

#include "app/convert/CalendarStream.h"
#include "app/convert/FileSource.h"
#include "app/convert/NewFileSink.h"
#include "app/convert/WriteBatch.h"
#include "platform/files/ChangeWatch.h"
#include "platform/files/ErrorText.h"
#include "platform/files/Folder.h"
#include "platform/files/MatchMetadata.h"
#include "platform/files/Replacement.h"
#include "platform/files/SourceFile.h"

#include <cerrno>

namespace dw::convert {

ConversionRun::ConversionRun(ConversionOptions options, ConversionObserver* observer)
    : options_(options)
    , io_(options.io ? *options.io : platform::systemFileIo())
    , observer_(observer)
    , stream_(std::make_unique<CalendarStream>(options.pieceBytes ? options.pieceBytes
                                                                  : CalendarStream::defaultPieceBytes))
    , batch_(std::make_unique<WriteBatch>(io_, observer))
{
    stream_->stopRequested = [this] { return stopRequested(); };
}

ConversionRun::~ConversionRun() = default;

std::int32_t ConversionRun::convert(const std::string& currentFolder, const std::vector<CalendarEntry>& entries)
{
    std::vector<std::string> names;
    for (const CalendarEntry& entry : entries)
        if (entry.selected)
            names.push_back(entry.name);
    if (names.empty())
        return 0;
    const std::int32_t before = filesWritten_;
    int error = 0;
    const std::shared_ptr<platform::Folder> folder = platform::Folder::open(currentFolder, error);
    if (!folder) {
        for (const std::string& name : names)
            skip(currentFolder + name, texts::cannotRead + platform::describeError(error));
        return 0;
    }
    convertIn(folder, currentFolder, names);
    finish();
    return filesWritten_ - before;
}

void ConversionRun::convertIn(const std::shared_ptr<platform::Folder>& folder, const std::string& shownPrefix,
                              const std::vector<std::string>& names)
{
    try {
        for (const std::string& name : names) {
            if (stopRequested())
                throw ConversionInterrupted();
            convertOne(folder, shownPrefix + name, name);
        }
    } catch (...) {
        abandonWaiting();
    }
}

void ConversionRun::finish()
{
    try {
        commit();
    } catch (...) {
        abandonWaiting();
    }
}

// Whatever was still gathered stays as it was: it comes after the failure,
// or the run was stopped. A batch already being put in place is finished
// and reported; a failure it met comes first in list order, so it is the one
// thrown.
void ConversionRun::abandonWaiting()
{
    if (const std::exception_ptr earlier = batch_->abandon(filesWritten_))
        std::rethrow_exception(earlier);
    throw;
}

bool ConversionRun::stopRequested() const
{
    return observer_ && observer_->stopRequested();
}

void ConversionRun::commit()
{
    batch_->commit(filesWritten_);
}

void ConversionRun::skip(const std::string& path, const std::string& reason)
{
    batch_->skip(path, reason);
}

void ConversionRun::fail(const std::string& message, const std::string& path, int error)
{
    commit(); // every calendar before this one is put in place first
    throw ConversionError(message, path, error);
}

int ConversionRun::openCalendar(const std::shared_ptr<platform::Folder>& folder, const std::string& name,
                                platform::SourceFile& source)
{
    int error = platform::openSourceFile(folder, name, source);
    if ((error == EMFILE || error == ENFILE) && !batch_->empty()) {
        commit(); // the calendars waiting hold descriptors open
        error = platform::openSourceFile(folder, name, source);
    }
    return error;
}

void ConversionRun::convertOne(const std::shared_ptr<platform::Folder>& folder, const std::string& path,
                               const std::string& name)
{
    platform::SourceFile source;
    if (int error = openCalendar(folder, name, source)) {
        skip(path, texts::cannotRead + platform::describeError(error));
        return;
    }
    if (options_.dryRun) {
        inspectOne(path, source);
        return;
    }
    if (batch_->holds(source.identity)) {
        // The same file under another name, converted a moment ago and not
        // yet in place: once it is, this name is read for what it holds then.
        source = {};
        commit();
        if (int error = openCalendar(folder, name, source)) {
            skip(path, texts::cannotRead + platform::describeError(error));
            return;
        }
    }
    convertOpened(path, source);
}

void ConversionRun::inspectOne(const std::string& path, platform::SourceFile& source)
{
    FileSource input(source.fd.get(), std::uint64_t(source.identity.size));
    const StreamOutcome outcome = stream_->inspect(input, std::uint64_t(source.identity.size));
    switch (outcome.verdict) {
    case CalendarVerdict::NeedsConversion:
        // A real run would find the file converted when it came to its
        // second name, so it is counted once.
        if (dryRunCounted_.insert({source.identity.device, source.identity.inode}).second) {
            ++filesWritten_;
            if (observer_)
                observer_->calendarWritten(path);
        }
        return;
    case CalendarVerdict::HoldsNul: skip(path, texts::holdsNul); return;
    case CalendarVerdict::ReadFailed: skip(path, texts::cannotRead + platform::describeError(outcome.error)); return;
    case CalendarVerdict::Stopped: throw ConversionInterrupted();
    default: return;
    }
}

void ConversionRun::convertOpened(const std::string& path, platform::SourceFile& source)
{
    platform::ChangeWatch watch;
    if (watch.start(source.fd.get(), source.identity) == platform::LeaseTake::InUse) {
        skip(path, texts::openElsewhere);
        return;
    }
    NewFileSink sink(source, io_);
    FileSource input(source.fd.get(), std::uint64_t(source.identity.size));
    const StreamOutcome outcome = stream_->convert(input, std::uint64_t(source.identity.size), sink);
    switch (outcome.verdict) {
    case CalendarVerdict::UpToDate: return;
    case CalendarVerdict::HoldsNul: skip(path, texts::holdsNul); return;
    case CalendarVerdict::ReadFailed: skip(path, texts::cannotRead + platform::describeError(outcome.error)); return;
    case CalendarVerdict::Stopped: throw ConversionInterrupted();
    case CalendarVerdict::WriteFailed:
        if (sink.refusedToCreate())
            fail(texts::cannotCreateFile + path, path, outcome.error);
        fail(texts::streamWriteError, path, outcome.error);
    case CalendarVerdict::NeedsConversion: break;
    }
    putInPlace(path, source, watch, sink);
}

// The new file takes the calendar's place together with others, unless the
// calendar must keep its inode: several hard links share it, or the new file
// cannot be given the calendar's owner, group, mode or attributes.
void ConversionRun::putInPlace(const std::string& path, platform::SourceFile& source, platform::ChangeWatch& watch,
                               NewFileSink& sink)
{
    bool inPlace = source.identity.links > 1 || !platform::mayTakeOwnership(source.identity);
    if (!inPlace) {
        const platform::MetadataOutcome metadata =
            platform::matchMetadata(source.fd.get(), source.identity, sink.file().fd());
        if (metadata.result == platform::MetadataMatch::Failed)
            fail(texts::streamWriteError, path, metadata.error);
        inPlace = metadata.result == platform::MetadataMatch::NotPossible;
    }
    if (inPlace) {
        rewriteInPlace(path, source, watch, sink);
        return;
    }
    const std::uint64_t bytes = sink.size();
    batch_->add({path, std::move(source), std::move(watch), std::move(sink.file()), bytes});
    if (batch_->full())
        batch_->commitInBackground(filesWritten_);
}

void ConversionRun::rewriteInPlace(const std::string& path, platform::SourceFile& source,
                                   platform::ChangeWatch& watch, NewFileSink& sink)
{
    commit();
    const platform::ReplaceOutcome outcome = platform::rewriteInPlace(source, watch, sink.file(), sink.size(), io_);
    switch (outcome.result) {
    case platform::ReplaceResult::Replaced:
        ++filesWritten_;
        if (observer_)
            observer_->calendarWritten(path);
        return;
    case platform::ReplaceResult::ChangedOnDisk: skip(path, texts::changedMeanwhile); return;
    case platform::ReplaceResult::InUse: skip(path, texts::openElsewhere); return;
    case platform::ReplaceResult::CannotCreate: fail(texts::cannotCreateFile + path, path, outcome.error);
    case platform::ReplaceResult::WriteFailed: fail(texts::streamWriteError, path, outcome.error);
    }
}

std::int32_t convertSelectedCalendars(const std::string& currentFolder, const std::vector<CalendarEntry>& entries)
{
    ConversionRun run;
    return run.convert(currentFolder, entries);
}

std::string filesModifiedMessage(std::int32_t count)
{
    return "Files modified: " + std::to_string(count);
}

std::string withFullStop(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

} // namespace dw::convert
