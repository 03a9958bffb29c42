// SPDX-License-Identifier: MIT
#include "platform/files/NewFile.h"

#include "platform/files/ProcFd.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <random>
#include <sys/random.h>
#include <unistd.h>

namespace dw::platform {

namespace {

// A name longer than 255 bytes is never allowed; the stem is cut so that a
// calendar with the longest name still gets its hidden companion.
constexpr std::size_t longestStem = 200;

std::string randomSuffix()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random = [] {
        std::uint64_t seed = 0;
        if (::getrandom(&seed, sizeof seed, 0) != sizeof seed)
            seed = std::uint64_t(::getpid()) << 32 ^ std::uint64_t(reinterpret_cast<std::uintptr_t>(&seed));
        return std::mt19937_64(seed);
    }();
    std::string suffix(6, 'X');
    for (char& c : suffix)
        c = letters[random() % (sizeof letters - 1)];
    return suffix;
}

bool lacksUnnamedFiles(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// Tries hidden names until `use` takes one (answers 0) or fails for another
// reason than the name being taken already.
template <typename Use>
int withFreeName(const std::function<std::string()>& makeName, Use use)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = makeName();
        const int error = use(name);
        if (error != EEXIST)
            return error;
    }
    return EEXIST;
}

} // namespace

NewFile& NewFile::operator=(NewFile&& other) noexcept
{
    if (this != &other) {
        discard();
        folder_ = std::move(other.folder_);
        fd_ = std::move(other.fd_);
        stem_ = std::move(other.stem_);
        kind_ = std::move(other.kind_);
        name_ = std::move(other.name_);
        other.name_.clear();
    }
    return *this;
}

std::string NewFile::hiddenName() const
{
    return "." + stem_.substr(0, longestStem) + "." + kind_ + "." + randomSuffix();
}

int NewFile::create(const std::shared_ptr<Folder>& folder, const std::string& stem, const std::string& kind)
{
    discard();
    folder_ = folder;
    stem_ = stem;
    kind_ = kind;
    fd_.reset(::openat(folder->fd(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (fd_.valid())
        return 0;
    if (!lacksUnnamedFiles(errno))
        return errno;
    return withFreeName([this] { return hiddenName(); }, [&](const std::string& name) {
        fd_.reset(::openat(folder->fd(), name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd_.valid())
            return errno;
        name_ = name;
        return 0;
    });
}

int NewFile::giveName()
{
    if (!name_.empty())
        return 0;
    return withFreeName([this] { return hiddenName(); }, [&](const std::string& name) {
        const int error = linkDescriptor(fd_.get(), folder_->fd(), name);
        if (error == 0)
            name_ = name;
        return error;
    });
}

int NewFile::removeName()
{
    if (name_.empty())
        return 0;
    const int result = ::unlinkat(folder_->fd(), name_.c_str(), 0) == 0 ? 0 : errno;
    name_.clear();
    return result;
}

void NewFile::discard()
{
    fd_.reset();
    if (folder_)
        (void)removeName();
}

} // namespace dw::platform
