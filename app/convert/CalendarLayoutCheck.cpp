// SPDX-License-Identifier: MIT
#include "app/convert/CalendarLayoutCheck.h"

#include "app/convert/CalendarStream.h"
#include "app/convert/FileSource.h"
#include "platform/files/Folder.h"
#include "platform/files/SourceFile.h"

namespace dw::convert {

namespace {

// Enough to hold most calendars whole; larger ones are read in pieces.
constexpr std::size_t inspectionPieceBytes = std::size_t(256) << 10;

} // namespace

CalendarState inspectCalendar(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folderPath = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    int error = 0;
    const std::shared_ptr<platform::Folder> folder = platform::Folder::open(folderPath, error);
    platform::SourceFile source;
    if (!folder || name.empty() || platform::openSourceFile(folder, name, source) != 0)
        return CalendarState::Unreadable;
    CalendarStream stream(inspectionPieceBytes);
    FileSource input(source.fd.get(), std::uint64_t(source.identity.size));
    switch (stream.inspect(input, std::uint64_t(source.identity.size)).verdict) {
    case CalendarVerdict::NeedsConversion: return CalendarState::NeedsConversion;
    case CalendarVerdict::UpToDate: return CalendarState::UpToDate;
    default: return CalendarState::Unreadable;
    }
}

} // namespace dw::convert
