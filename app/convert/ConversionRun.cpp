#include "app/convert/ConversionRun.h"

#include "platform/files/FileReader.h"
#include "platform/files/SafeReplace.h"

namespace dw::convert {

namespace {

const char* const cannotCreateFile = "Cannot create file ";
const char* const streamWriteError = "Stream write error";

} // namespace

ConversionRun::ConversionRun(ConversionOptions options, ConversionObserver* observer)
    : options_(options), observer_(observer)
{
}

std::int32_t ConversionRun::convert(const std::string& currentFolder, const std::vector<CalendarEntry>& entries)
{
    const std::int32_t before = filesWritten_;
    for (const CalendarEntry& entry : entries) {
        if (!entry.selected)
            continue;
        if (convertFile(currentFolder + entry.name))
            ++filesWritten_;
    }
    return filesWritten_ - before;
}

bool ConversionRun::convertFile(const std::string& path)
{
    platform::FileIdentity identity;
    const platform::ReadOutcome read = platform::readWholeFile(path, input_, identity);
    if (!read.ok()) {
        if (observer_)
            observer_->calendarSkipped(path, "cannot read: " + platform::describeError(read.error));
        return false;
    }
    const std::string_view text = input_.view();
    if (holdsNulByte(text)) {
        if (observer_)
            observer_->calendarSkipped(path, "holds a NUL byte, so it is no calendar text; left untouched");
        return false;
    }
    if (!converter_.convert(text))
        return false;
    if (!options_.dryRun) {
        const platform::FileIo& io = options_.io ? *options_.io : platform::systemFileIo();
        const platform::ReplaceOutcome outcome =
            platform::replaceFileContents(path, identity, text, converter_.output(), io);
        if (outcome.result == platform::ReplaceResult::CannotCreate)
            throw ConversionError(cannotCreateFile + path, path, outcome.error);
        if (outcome.result != platform::ReplaceResult::Replaced)
            throw ConversionError(streamWriteError, path, outcome.error);
    }
    if (observer_)
        observer_->calendarWritten(path);
    return true;
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
