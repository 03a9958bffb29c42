// SPDX-License-Identifier: MIT
// Calendars are opened where they really live, and nothing but a regular
// file is ever opened: not a pipe or a device, whatever a link says.

#include "platform/files/Folder.h"
#include "platform/files/SourceFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dw::platform;
using dw::test::TempFolder;
using dw::test::writeFile;

namespace {

std::shared_ptr<Folder> openFolder(const fs::path& path)
{
    int error = 0;
    std::shared_ptr<Folder> folder = Folder::open(path.string(), error);
    EXPECT_TRUE(folder) << path << ": " << error;
    return folder;
}

int openIn(const std::shared_ptr<Folder>& folder, const std::string& name, SourceFile& file)
{
    return openSourceFile(folder, name, file);
}

// Tells whether anything opened the watched files for real.
class OpenWatch {
public:
    OpenWatch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~OpenWatch() { ::close(fd_); }
    void watch(const fs::path& path) { ::inotify_add_watch(fd_, path.c_str(), IN_OPEN); }
    bool sawAnOpen() const
    {
        char events[4096];
        return ::read(fd_, events, sizeof events) > 0;
    }

private:
    int fd_;
};

TEST(SourceFile, PipesAndDevicesAreNeverOpenedWhateverLinksPointAtThem)
{
    TempFolder folder;
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0666), 0);
    fs::create_symlink("pipe", folder / "x.dw2");
    fs::create_symlink(folder / "pipe", folder / "absolute.dw2");
    const bool haveDevice = ::mknod((folder / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (haveDevice)
        fs::create_symlink("null", folder / "tty.dw2");
    OpenWatch opens;
    opens.watch(folder / "pipe");
    if (haveDevice)
        opens.watch(folder / "null");
    const std::shared_ptr<Folder> top = openFolder(folder.path());
    for (const char* name : {"x.dw2", "absolute.dw2", "pipe", "tty.dw2"}) {
        if (!haveDevice && std::string(name) == "tty.dw2")
            continue;
        SourceFile file;
        EXPECT_EQ(openIn(top, name, file), EINVAL) << name;
        EXPECT_FALSE(file.fd.valid()) << name;
    }
    EXPECT_FALSE(opens.sawAnOpen()) << "a pipe or a device was opened";
}

TEST(SourceFile, LinksLeadToTheFileItselfAndBrokenOnesAreRefused)
{
    TempFolder folder;
    fs::create_directories(folder / "sub" / "deeper");
    writeFile(folder / "real.dw2", "text");
    fs::create_symlink("sub/deeper/../link2.dw2", folder / "link1.dw2");
    fs::create_symlink("../real.dw2", folder / "sub" / "link2.dw2");
    fs::create_symlink("loop.dw2", folder / "loop.dw2");
    fs::create_symlink("nowhere.dw2", folder / "dangling.dw2");
    fs::create_symlink("sub", folder / "folder.dw2");
    const std::shared_ptr<Folder> top = openFolder(folder.path());
    SourceFile file;
    ASSERT_EQ(openIn(top, "link1.dw2", file), 0);
    EXPECT_EQ(file.name, "real.dw2");
    EXPECT_TRUE(file.folder->sameFolderAs(*top)) << "a replacement would go to the wrong folder";
    EXPECT_EQ(file.identity.size, 4);
    SourceFile inSub;
    ASSERT_EQ(openIn(top, "sub/link2.dw2", inSub), 0);
    EXPECT_EQ(inSub.name, "real.dw2");
    SourceFile refused;
    EXPECT_EQ(openIn(top, "loop.dw2", refused), ELOOP);
    EXPECT_EQ(openIn(top, "dangling.dw2", refused), ENOENT);
    EXPECT_EQ(openIn(top, "folder.dw2", refused), EISDIR);
    EXPECT_EQ(openIn(top, "sub", refused), EISDIR);
}

TEST(SourceFile, FoldersDeeperThanAnyPathMayBeAreOpened)
{
    TempFolder folder;
    const std::string step(99, 'f');
    std::string deep = folder.path().string();
    int fd = ::open(deep.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < 60; ++i) { // 6000 bytes of path
        ASSERT_EQ(::mkdirat(fd, step.c_str(), 0755), 0);
        const int next = ::openat(fd, step.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        deep += "/" + step;
    }
    ::close(::openat(fd, "cal.dw2", O_WRONLY | O_CREAT, 0644));
    ::close(fd);
    int error = 0;
    const std::shared_ptr<Folder> bottom = Folder::open(deep, error);
    ASSERT_TRUE(bottom) << error;
    SourceFile file;
    EXPECT_EQ(openIn(bottom, "cal.dw2", file), 0);
    EXPECT_EQ(::fork() == 0 ? (::execlp("rm", "rm", "-rf", (folder / step).c_str(), nullptr), 1) : 0, 0);
    ::wait(nullptr);
}

} // namespace
