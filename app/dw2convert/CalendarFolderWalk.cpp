#include "app/dw2convert/CalendarFolderWalk.h"

#include "platform/files/DirectoryListing.h"
#include "platform/files/FileReader.h"

#include <cctype>

namespace dw::cli {

namespace {

std::string withTrailingSlash(const std::string& folder)
{
    return (!folder.empty() && folder.back() == '/') ? folder : folder + "/";
}

} // namespace

bool isCalendarName(const std::string& name)
{
    static const char extension[] = ".dw2";
    const std::size_t length = sizeof extension - 1;
    if (name.size() <= length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[name.size() - length + i]);
        if (std::tolower(c) != extension[i])
            return false;
    }
    return true;
}

CalendarFolderWalk::CalendarFolderWalk(convert::ConversionRun& run, WalkOptions options, Warn warn)
    : run_(run), options_(options), warn_(std::move(warn))
{
}

void CalendarFolderWalk::convertPath(const std::string& path)
{
    if (platform::isDirectory(path)) {
        convertFolder(withTrailingSlash(path));
        return;
    }
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    run_.convert(folder, {{name, true}});
}

void CalendarFolderWalk::convertFolder(const std::string& folder)
{
    const platform::DirectoryListing listing = platform::listDirectory(folder);
    if (listing.error != 0)
        warn_(folder, "cannot list folder: " + platform::describeError(listing.error));
    std::vector<convert::CalendarEntry> calendars;
    for (const platform::DirectoryEntry& entry : listing.entries)
        if (!entry.isDirectory && !entry.isSpecial && isCalendarName(entry.name))
            calendars.push_back({entry.name, true});
    run_.convert(folder, calendars);
    if (!options_.recursive)
        return;
    // Links to folders are not followed, so a link cycle cannot make the walk endless.
    for (const platform::DirectoryEntry& entry : listing.entries)
        if (entry.isDirectory && !entry.isLink)
            convertFolder(folder + entry.name + "/");
}

} // namespace dw::cli
