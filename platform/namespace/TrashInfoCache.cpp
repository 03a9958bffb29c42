#include "platform/namespace/TrashInfoCache.h"

#include "platform/namespace/DisplayText.h"
#include "platform/namespace/NaturalOrder.h"
#include "platform/namespace/TrashOperations.h"

#include "platform/files/FileDescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <memory>
#include <unistd.h>

namespace dw::platform {

namespace {

// A record is a few lines; one with a path of PATH_MAX bytes, all of them
// escaped, still fits.
constexpr std::size_t kLongestRecord = 64 * 1024;

std::string readRecord(const std::string& path)
{
    // Not blocking: a pipe by that name must not hang a listing.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    std::string record;
    if (!fd.valid())
        return record;
    char buffer[4096];
    while (record.size() < kLongestRecord) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        record.append(buffer, static_cast<std::size_t>(got));
    }
    return record;
}

} // namespace

std::string readTrashedFromPath(const std::string& trashPath, std::string_view entryName)
{
    const std::string record = readRecord(trashInfoPath(trashPath, entryName));
    std::string_view rest = record;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.substr(0, 5) != "Path=")
            continue;
        const auto path = percentDecode(line.substr(5));
        return path && path->find('\0') == std::string::npos ? *path : std::string();
    }
    return {};
}

TrashInfoCache& TrashInfoCache::of(const std::string& trashPath)
{
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<TrashInfoCache>> caches;
    std::lock_guard lock(mutex);
    std::unique_ptr<TrashInfoCache>& cache = caches[trashPath];
    if (!cache)
        cache = std::make_unique<TrashInfoCache>(trashPath);
    return *cache;
}

void TrashInfoCache::startListing()
{
    std::lock_guard lock(mutex_);
    shownNames_.clear();
}

std::string TrashInfoCache::shownName(std::string_view entryName)
{
    {
        std::lock_guard lock(mutex_);
        if (const auto known = shownNames_.find(entryName); known != shownNames_.end())
            return known->second;
    }
    // Read outside the lock: other entries need not wait for this disk.
    const std::string path = readTrashedFromPath(trashPath_, entryName);
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        name = entryName;
    std::lock_guard lock(mutex_);
    shownNames_.emplace(entryName, name);
    return name;
}

int TrashInfoCache::compareShownNames(std::string_view first, std::string_view second)
{
    {
        // Sorting asks this very often: both names known, no copies made.
        std::lock_guard lock(mutex_);
        const auto a = shownNames_.find(first);
        const auto b = shownNames_.find(second);
        if (a != shownNames_.end() && b != shownNames_.end())
            return compareNames(a->second, b->second);
    }
    return compareNames(shownName(first), shownName(second));
}

void TrashInfoCache::forget(std::string_view entryName)
{
    std::lock_guard lock(mutex_);
    if (const auto known = shownNames_.find(entryName); known != shownNames_.end())
        shownNames_.erase(known);
}

} // namespace dw::platform
