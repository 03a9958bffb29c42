#include "platform/files/FileReader.h"
#include "platform/files/SafeReplace.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dw::platform;
using dw::test::readFile;
using dw::test::writeFile;

namespace {

const std::string before = "old contents\r\n";
const std::string after = "new contents, somewhat longer\r\n";

struct Loaded {
    ByteBuffer bytes;
    FileIdentity identity;
};

void load(const fs::path& path, Loaded& loaded)
{
    ASSERT_TRUE(readWholeFile(path, loaded.bytes, loaded.identity).ok()) << path;
}

ReplaceOutcome replace(const fs::path& path, const FileIo& io = systemFileIo())
{
    Loaded loaded;
    load(path, loaded);
    return replaceFileContents(path, loaded.identity, loaded.bytes.view(), after, io);
}

// The system calls, with the writes and syncs open to meddling.
struct FaultyIo {
    int pwriteCalls = 0;
    int syncCalls = 0;
    std::function<ssize_t(int, const void*, std::size_t, off_t)> pwrite =
        [](int fd, const void* data, std::size_t size, off_t offset) { return ::pwrite(fd, data, size, offset); };
    std::function<int(int)> fdatasync = [](int fd) { return ::fdatasync(fd); };

    FileIo io()
    {
        return {[this](int fd, const void* data, std::size_t size, off_t offset) {
                    ++pwriteCalls;
                    return pwrite(fd, data, size, offset);
                },
                [this](int fd) {
                    ++syncCalls;
                    return fdatasync(fd);
                },
                [](int fd) { return ::fsync(fd); }};
    }
};

class SafeReplace : public ::testing::Test {
protected:
    dw::test::TempFolder folder;
    fs::path file = folder / "cal.dw2";
    void SetUp() override { writeFile(file, before); }
    std::string names() const { return dw::test::listNames(folder.path()); }
};

TEST_F(SafeReplace, ReplacesContentsAndKeepsModeWithNoFileLeftBehind)
{
    fs::permissions(file, fs::perms(0640));
    ASSERT_EQ(replace(file).result, ReplaceResult::Replaced);
    EXPECT_EQ(readFile(file), after);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    EXPECT_EQ(names(), "cal.dw2;");
}

TEST_F(SafeReplace, LongestPossibleNameStillGetsItsTemporaryFile)
{
    const fs::path longest = folder / (std::string(251, 'n') + ".dw2");
    writeFile(longest, before);
    fs::create_hard_link(longest, folder / "second-name.dw2");
    ASSERT_EQ(replace(longest).result, ReplaceResult::Replaced); // through a backup copy
    fs::remove(folder / "second-name.dw2");
    writeFile(longest, before);
    ASSERT_EQ(replace(longest).result, ReplaceResult::Replaced); // through a temporary file
    EXPECT_EQ(readFile(longest), after);
}

TEST_F(SafeReplace, KeepsOwnerAndGroupWherePermitted)
{
    if (!dw::test::runningAsRoot())
        GTEST_SKIP() << "only the superuser may give a file away";
    ASSERT_EQ(::chown(file.c_str(), 1234, 2345), 0);
    ASSERT_EQ(replace(file).result, ReplaceResult::Replaced);
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 1234u);
    EXPECT_EQ(status.st_gid, 2345u);
}

TEST_F(SafeReplace, KeepsExtendedAttributes)
{
    if (::setxattr(file.c_str(), "user.calendar", "blue", 4, 0) != 0)
        GTEST_SKIP() << "this file system takes no user attributes";
    ASSERT_EQ(replace(file).result, ReplaceResult::Replaced);
    char value[16] = {};
    ASSERT_EQ(::getxattr(file.c_str(), "user.calendar", value, sizeof value), 4);
    EXPECT_STREQ(value, "blue");
}

TEST_F(SafeReplace, ShortWritesAreCarriedOn)
{
    FaultyIo faulty;
    faulty.pwrite = [](int fd, const void* data, std::size_t size, off_t offset) {
        return ::pwrite(fd, data, size < 3 ? size : 3, offset);
    };
    ASSERT_EQ(replace(file, faulty.io()).result, ReplaceResult::Replaced);
    EXPECT_EQ(readFile(file), after);
    EXPECT_GT(faulty.pwriteCalls, 5);
}

TEST_F(SafeReplace, FullDiskPartWayKeepsTheOriginal)
{
    FaultyIo faulty;
    faulty.pwrite = [](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
        if (offset > 0) {
            errno = ENOSPC;
            return -1;
        }
        return ::pwrite(fd, data, size / 2, offset);
    };
    const ReplaceOutcome outcome = replace(file, faulty.io());
    EXPECT_EQ(outcome.result, ReplaceResult::WriteFailed);
    EXPECT_EQ(outcome.error, ENOSPC);
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(names(), "cal.dw2;");
}

TEST_F(SafeReplace, SyncErrorIsFinalAndNeverRetried)
{
    FaultyIo faulty;
    faulty.fdatasync = [](int) {
        errno = EIO;
        return -1;
    };
    const ReplaceOutcome outcome = replace(file, faulty.io());
    EXPECT_EQ(outcome.result, ReplaceResult::WriteFailed);
    EXPECT_EQ(outcome.error, EIO);
    EXPECT_EQ(faulty.syncCalls, 1);
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(names(), "cal.dw2;");
}

TEST_F(SafeReplace, FileChangedBehindOurBackIsNotOverwritten)
{
    FaultyIo faulty;
    const std::string theirs = "someone else's edit, longer than before\r\n";
    faulty.pwrite = [&](int fd, const void* data, std::size_t size, off_t offset) {
        if (faulty.pwriteCalls == 1)
            writeFile(file, theirs);
        return ::pwrite(fd, data, size, offset);
    };
    EXPECT_EQ(replace(file, faulty.io()).result, ReplaceResult::ChangedOnDisk);
    EXPECT_EQ(readFile(file), theirs);
    EXPECT_EQ(names(), "cal.dw2;");
}

TEST_F(SafeReplace, SymbolicLinkStaysALinkAndItsTargetGetsTheContents)
{
    fs::create_directory(folder / "elsewhere");
    const fs::path target = folder / "elsewhere" / "real.dw2";
    fs::rename(file, target);
    fs::create_symlink("elsewhere/real.dw2", file);
    ASSERT_EQ(replace(file).result, ReplaceResult::Replaced);
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(fs::read_symlink(file), "elsewhere/real.dw2");
    EXPECT_EQ(readFile(target), after);
    EXPECT_EQ(dw::test::listNames(folder / "elsewhere"), "real.dw2;");
}

TEST_F(SafeReplace, LinkThatNoLongerResolvesIsRefusedAndLeftAlone)
{
    Loaded loaded;
    load(file, loaded);
    fs::remove(file);
    fs::create_symlink("cal.dw2", file); // now a loop
    EXPECT_EQ(replaceFileContents(file, loaded.identity, loaded.bytes.view(), after).result,
              ReplaceResult::CannotCreate);
    EXPECT_EQ(fs::read_symlink(file), "cal.dw2");
    fs::remove(file);
    fs::create_symlink("gone.dw2", file); // dangling
    EXPECT_EQ(replaceFileContents(file, loaded.identity, loaded.bytes.view(), after).result,
              ReplaceResult::CannotCreate);
    EXPECT_EQ(fs::read_symlink(file), "gone.dw2");
    EXPECT_EQ(names(), "cal.dw2;");
}

TEST_F(SafeReplace, HardLinksAllSeeTheNewContents)
{
    fs::create_hard_link(file, folder / "other-name.dw2");
    const auto inode = fs::hard_link_count(file);
    ASSERT_EQ(inode, 2u);
    ASSERT_EQ(replace(file).result, ReplaceResult::Replaced);
    EXPECT_EQ(readFile(folder / "other-name.dw2"), after);
    EXPECT_EQ(readFile(file), after);
    EXPECT_EQ(fs::hard_link_count(file), 2u);
    EXPECT_EQ(names(), "cal.dw2;other-name.dw2;") << "the backup copy was left behind";
}

TEST_F(SafeReplace, HardLinkedFileIsRestoredWhenTheRewriteFails)
{
    fs::create_hard_link(file, folder / "other-name.dw2");
    FaultyIo faulty;
    // Call 1 writes the backup, call 2 the new contents: that one fails part-way.
    faulty.pwrite = [&](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
        if (faulty.pwriteCalls == 2) {
            ::pwrite(fd, "XXXX", 4, offset);
            errno = EIO;
            return -1;
        }
        return ::pwrite(fd, data, size, offset);
    };
    EXPECT_EQ(replace(file, faulty.io()).result, ReplaceResult::WriteFailed);
    EXPECT_EQ(readFile(folder / "other-name.dw2"), before);
    EXPECT_EQ(names(), "cal.dw2;other-name.dw2;");
}

TEST_F(SafeReplace, ReadOnlyFileIsRefusedThoughItsFolderIsWritable)
{
    fs::permissions(file, fs::perms(0444));
    EXPECT_EQ(replace(file).result, ReplaceResult::CannotCreate);
    EXPECT_EQ(readFile(file), before);
    EXPECT_TRUE(isReadOnlyForUs(file, 0444 | S_IFREG));
}

TEST_F(SafeReplace, UnwritableFolderIsCannotCreate)
{
    if (dw::test::runningAsRoot())
        GTEST_SKIP() << "the superuser writes into any folder";
    fs::permissions(folder.path(), fs::perms(0555));
    EXPECT_EQ(replace(file).result, ReplaceResult::CannotCreate);
    fs::permissions(folder.path(), fs::perms(0755));
    EXPECT_EQ(readFile(file), before);
}

TEST(SafeReplaceOnFullDisk, RealFullFileSystemKeepsTheOriginal)
{
    dw::test::TempFolder folder;
    if (::mount("dwtest", folder.path().c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    struct Unmount {
        const fs::path& at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{folder.path()};
    const fs::path file = folder / "big.dw2";
    const std::string original(40 * 1024, 'a');
    writeFile(file, original);
    Loaded loaded;
    load(file, loaded);
    const std::string bigger(60 * 1024, 'b');
    const ReplaceOutcome outcome = replaceFileContents(file, loaded.identity, loaded.bytes.view(), bigger);
    EXPECT_EQ(outcome.result, ReplaceResult::WriteFailed);
    EXPECT_EQ(outcome.error, ENOSPC);
    EXPECT_EQ(readFile(file), original);
    EXPECT_EQ(dw::test::listNames(folder.path()), "big.dw2;");
}

} // namespace
