// SPDX-License-Identifier: MIT
#include "platform/namespace/TrashInfoCache.h"

#include "platform/namespace/DisplayText.h"
#include "platform/namespace/NaturalOrder.h"

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

// `path` relative to the folder `folder` (or AT_FDCWD).
std::string readRecord(int folder, const std::string& path)
{
    // Not blocking: a pipe by that name must not hang a listing.
    const FileDescriptor fd(::openat(folder, path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
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
        if (static_cast<std::size_t>(got) < sizeof buffer)
            break; // a short read of a record file is its end
    }
    return record;
}

std::string pathInRecord(const std::string& record)
{
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

} // namespace

std::string trashInfoPath(const std::string& trashPath, std::string_view entryName)
{
    return trashPath + "/info/" + std::string(entryName) + ".trashinfo";
}

std::string readTrashedFromPath(const std::string& trashPath, std::string_view entryName)
{
    return pathInRecord(readRecord(AT_FDCWD, trashInfoPath(trashPath, entryName)));
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
    // Opened anew for each listing: the folder may have been replaced.
    auto folder = std::make_shared<const FileDescriptor>(
        ::open((trashPath_ + "/info").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::lock_guard lock(mutex_);
    shown_.clear();
    infoFolder_ = std::move(folder);
}

std::string TrashInfoCache::readShownName(std::string_view entryName)
{
    std::shared_ptr<const FileDescriptor> folder;
    {
        std::lock_guard lock(mutex_);
        folder = infoFolder_;
    }
    // Each record by its name in the folder: no walk along the whole path.
    const std::string path = folder && folder->valid()
        ? pathInRecord(readRecord(folder->get(), std::string(entryName) + ".trashinfo"))
        : readTrashedFromPath(trashPath_, entryName);
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? std::string(entryName) : name;
}

std::string TrashInfoCache::shownName(std::string_view entryName)
{
    {
        std::lock_guard lock(mutex_);
        if (const auto known = shown_.find(entryName); known != shown_.end())
            return known->second.name;
    }
    // Read and keyed outside the lock: other entries need not wait for this
    // disk.
    std::string name = readShownName(entryName);
    NameSortKey key(name);
    std::lock_guard lock(mutex_);
    shown_.emplace(entryName, Shown{name, std::move(key)});
    return name;
}

std::optional<int> TrashInfoCache::compareKnown(std::string_view first, std::string_view second)
{
    std::lock_guard lock(mutex_);
    const auto a = shown_.find(first);
    const auto b = shown_.find(second);
    if (a == shown_.end() || b == shown_.end())
        return std::nullopt;
    return a->second.key.compare(b->second.key); // as compareNames orders them
}

int TrashInfoCache::compareShownNames(std::string_view first, std::string_view second)
{
    // Sorting asks this very often; the names are known from the listing.
    if (const auto order = compareKnown(first, second))
        return *order;
    const std::string firstName = shownName(first);
    const std::string secondName = shownName(second);
    return compareKnown(first, second).value_or(compareNames(firstName, secondName));
}

void TrashInfoCache::forget(std::string_view entryName)
{
    std::lock_guard lock(mutex_);
    if (const auto known = shown_.find(entryName); known != shown_.end())
        shown_.erase(known);
}

} // namespace dw::platform
