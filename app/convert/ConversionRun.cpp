#include "app/convert/ConversionRun.h"

#include "app/convert/CalendarPipeline.h"
#include "platform/files/FileReader.h"
#include "platform/files/SafeReplace.h"

namespace dw::convert {

namespace {

const char* const cannotCreateFile = "Cannot create file ";
const char* const streamWriteError = "Stream write error";

} // namespace

ConversionRun::ConversionRun(ConversionOptions options, ConversionObserver* observer)
    : options_(options)
    , observer_(observer)
    , pipeline_(std::make_unique<CalendarPipeline>(options.workers == 0 ? CalendarPipeline::defaultWorkers()
                                                                        : options.workers))
{
}

ConversionRun::~ConversionRun() = default;

std::int32_t ConversionRun::convert(const std::string& currentFolder, const std::vector<CalendarEntry>& entries)
{
    std::vector<std::string> paths;
    for (const CalendarEntry& entry : entries)
        if (entry.selected)
            paths.push_back(currentFolder + entry.name);
    pipeline_->begin(std::move(paths));
    const std::int32_t before = filesWritten_;
    while (PreparedCalendar* calendar = pipeline_->next()) {
        if (observer_ && observer_->stopRequested())
            throw ConversionInterrupted();
        if (filesWritten_ != before)
            readAgainIfWeChangedIt(*calendar);
        if (finishCalendar(*calendar))
            ++filesWritten_;
    }
    return filesWritten_ - before;
}

// A calendar read ahead may since have been rewritten by this very run: a
// hard link or a symbolic link to a file converted a moment ago. It is then
// read again, so the run sees what a one-file-at-a-time run would see.
void ConversionRun::readAgainIfWeChangedIt(PreparedCalendar& calendar)
{
    platform::FileIdentity now;
    if (calendar.read.ok() && platform::currentIdentity(calendar.path, now) && !now.sameContentAs(calendar.identity))
        calendar.prepare(calendar.path);
}

bool ConversionRun::finishCalendar(const PreparedCalendar& calendar)
{
    if (!calendar.read.ok()) {
        if (observer_)
            observer_->calendarSkipped(calendar.path, "cannot read: " + platform::describeError(calendar.read.error));
        return false;
    }
    if (calendar.holdsNul) {
        if (observer_)
            observer_->calendarSkipped(calendar.path, "holds a NUL byte, so it is no calendar text; left untouched");
        return false;
    }
    if (!calendar.modified)
        return false;
    if (options_.dryRun) {
        // A real run would find the file converted when it came to its
        // second name, so it is counted once.
        if (!dryRunCounted_.insert({calendar.identity.device, calendar.identity.inode}).second)
            return false;
    } else {
        writeBack(calendar);
    }
    if (observer_)
        observer_->calendarWritten(calendar.path);
    return true;
}

void ConversionRun::writeBack(const PreparedCalendar& calendar)
{
    const platform::FileIo& io = options_.io ? *options_.io : platform::systemFileIo();
    const platform::ReplaceOutcome outcome = platform::replaceFileContents(
        calendar.path, calendar.identity, calendar.input.view(), calendar.converter.output(), io);
    if (outcome.result == platform::ReplaceResult::CannotCreate)
        throw ConversionError(cannotCreateFile + calendar.path, calendar.path, outcome.error);
    if (outcome.result != platform::ReplaceResult::Replaced)
        throw ConversionError(streamWriteError, calendar.path, outcome.error);
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

} // namespace dw::convert

namespace dw::convert {

std::string withFullStop(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

} // namespace dw::convert
