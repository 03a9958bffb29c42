// SPDX-License-Identifier: MIT
#include "app/dw2convert/CalendarFolderWalk.h"

#include "platform/files/DirectoryListing.h"
#include "platform/files/ErrorText.h"
#include "platform/files/Folder.h"

#include <cctype>
#include <cerrno>
#include <string_view>

namespace dw::cli {

namespace {

// Folders held open along the way down; deeper ones close their parents.
constexpr std::size_t foldersHeldOpen = 64;

#if defined(_WIN32)
constexpr char separator = '\\';
constexpr const char* separators = "\\/";
#else
constexpr char separator = '/';
constexpr const char* separators = "/";
#endif

std::string withTrailingSlash(const std::string& folder)
{
    if (!folder.empty() && std::string_view(separators).find(folder.back()) != std::string_view::npos)
        return folder;
    return folder + separator;
}

} // namespace

struct CalendarFolderWalk::Frame {
    std::shared_ptr<platform::Folder> folder; // null while closed to spare descriptors
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::string shown;                        // as printed, ending in "/"
    std::vector<std::string> subfolders;      // still to visit, from `next` on
    std::size_t next = 0;
};

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

CalendarFolderWalk::CalendarFolderWalk(convert::ConversionRun& run, WalkOptions options, Warn warn,
                                       StopRequested stopRequested)
    : run_(run), options_(options), warn_(std::move(warn)), stopRequested_(std::move(stopRequested))
{
}

void CalendarFolderWalk::checkStop() const
{
    if (stopRequested_ && stopRequested_())
        throw convert::ConversionInterrupted();
}

void CalendarFolderWalk::convertPath(const std::string& path)
{
    checkStop();
    int error = 0;
    if (std::shared_ptr<platform::Folder> folder = platform::Folder::open(path, error)) {
        convertTree(folder, withTrailingSlash(path));
        return;
    }
    // Not a folder: a calendar (or something the run will say it cannot read).
    const auto slash = path.find_last_of(separators);
    const std::string shownFolder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::shared_ptr<platform::Folder> folder = platform::Folder::open(shownFolder, error);
    if (!folder) {
        warn_(path, "cannot read: " + platform::describeError(error));
        return;
    }
    run_.convertIn(folder, shownFolder, {name});
}

CalendarFolderWalk::Frame CalendarFolderWalk::enter(const std::shared_ptr<platform::Folder>& folder,
                                                    const std::string& shown)
{
    const platform::DirectoryListing listing = platform::listDirectory(folder->fd());
    if (listing.error != 0)
        warn_(shown, "cannot list folder: " + platform::describeError(listing.error));
    Frame frame{folder, folder->device(), folder->inode(), shown, {}, 0};
    std::vector<std::string> calendars;
    for (const platform::DirectoryEntry& entry : listing.entries) {
        if (!entry.isDirectory && !entry.isSpecial && isCalendarName(entry.name))
            calendars.push_back(entry.name);
        // Links to folders are not followed, so a link cycle cannot make the walk endless.
        if (options_.recursive && entry.isDirectory && !entry.isLink)
            frame.subfolders.push_back(entry.name);
    }
    run_.convertIn(folder, shown, calendars);
    return frame;
}

void CalendarFolderWalk::convertTree(const std::shared_ptr<platform::Folder>& top, const std::string& shown)
{
    std::vector<Frame> stack;
    stack.push_back(enter(top, shown));
    while (!stack.empty()) {
        checkStop();
        if (!descend(stack))
            ascend(stack);
    }
}

// Enters the next subfolder of the folder on top; false when none is left.
bool CalendarFolderWalk::descend(std::vector<Frame>& stack)
{
    Frame& frame = stack.back();
    if (frame.next == frame.subfolders.size() || !frame.folder)
        return false;
    const std::string& name = frame.subfolders[frame.next++];
    int error = 0;
    std::shared_ptr<platform::Folder> child = platform::Folder::openIn(*frame.folder, name, false, error);
    if (!child) {
        if (error != ENOENT) // gone since it was listed: nothing to say
            warn_(frame.shown + name + separator, "cannot open folder: " + platform::describeError(error));
        return true;
    }
    if (stack.size() >= foldersHeldOpen)
        frame.folder.reset();
    const std::string shown = frame.shown + name + separator;
    stack.push_back(enter(child, shown));
    return true;
}

// Leaves the folder on top for its parent, opening the parent again through
// ".." when it was closed.
void CalendarFolderWalk::ascend(std::vector<Frame>& stack)
{
    std::shared_ptr<platform::Folder> finished = std::move(stack.back().folder);
    stack.pop_back();
    if (stack.empty() || stack.back().folder)
        return;
    Frame& parent = stack.back();
    int error = 0;
    std::shared_ptr<platform::Folder> again =
        finished ? platform::Folder::openIn(*finished, "..", false, error) : nullptr;
    if (!again || again->device() != parent.device || again->inode() != parent.inode) {
        warn_(parent.shown, "moved while it was walked; the rest of its subfolders were left alone");
        parent.next = parent.subfolders.size();
        return;
    }
    parent.folder = std::move(again);
}

} // namespace dw::cli
