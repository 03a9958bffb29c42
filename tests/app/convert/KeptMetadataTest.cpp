// SPDX-License-Identifier: MIT
// A converted calendar keeps exactly its mode, owner, group and extended
// attributes, whoever runs the conversion; one that needs nothing keeps its
// times too.

#include "app/convert/ConversionRun.h"
#include "tests/app/convert/RunSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace dw::test;
using dw::convert::ConversionRun;

namespace {

constexpr uid_t someone = 4242;
constexpr uid_t member = 4244;
constexpr gid_t theirGroup = 4343;

struct stat statusOf(const fs::path& path)
{
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status;
}

std::int32_t convertAll(const TempFolder& folder, const std::vector<std::string>& names)
{
    ConversionRun run;
    return run.convert(folder.prefix(), selected(names));
}

// A POSIX ACL as the kernel stores it in an extended attribute.
std::string aclValue(const std::vector<std::uint32_t>& entries)
{
    std::string value(4, '\0');
    const std::uint32_t version = 2;
    std::memcpy(value.data(), &version, 4);
    for (std::size_t i = 0; i + 2 < entries.size(); i += 3) {
        const std::uint16_t tagAndPerm[2] = {std::uint16_t(entries[i]), std::uint16_t(entries[i + 1])};
        char entry[8];
        std::memcpy(entry, tagAndPerm, 4);
        std::memcpy(entry + 4, &entries[i + 2], 4);
        value.append(entry, 8);
    }
    return value;
}

TEST(KeptMetadata, ModeOwnerGroupAndAttributesAreKept)
{
    TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    fs::permissions(folder / "a.dw2", fs::perms(0640));
    const bool userAttributes = ::setxattr((folder / "a.dw2").c_str(), "user.calendar", "blue", 4, 0) == 0;
    if (runningAsRoot()) {
        ASSERT_EQ(::chown((folder / "a.dw2").c_str(), someone, theirGroup), 0);
    }
    EXPECT_EQ(convertAll(folder, {"a.dw2"}), 1);
    EXPECT_EQ(readFile(folder / "a.dw2"), aligned);
    const struct stat after = statusOf(folder / "a.dw2");
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    if (runningAsRoot()) {
        EXPECT_EQ(after.st_uid, someone);
        EXPECT_EQ(after.st_gid, theirGroup);
    }
    if (userAttributes) {
        char value[16] = {};
        EXPECT_EQ(::getxattr((folder / "a.dw2").c_str(), "user.calendar", value, sizeof value), 4);
        EXPECT_STREQ(value, "blue");
    }
}

TEST(KeptMetadata, AFolderDefaultAclGrantsNoOneAccessToAConvertedCalendar)
{
    TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    fs::permissions(folder / "a.dw2", fs::perms(0640));
    // user::rwx user:4242:rwx group::r-x mask::rwx other::---
    const std::string acl = aclValue({0x01, 7, ~0u, 0x02, 7, someone, 0x04, 5, ~0u, 0x10, 7, ~0u, 0x20, 0, ~0u});
    if (::setxattr(folder.path().c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0) != 0)
        GTEST_SKIP() << "no ACLs on this file system";
    EXPECT_EQ(convertAll(folder, {"a.dw2"}), 1);
    EXPECT_EQ(::getxattr((folder / "a.dw2").c_str(), "system.posix_acl_access", nullptr, 0), -1)
        << "the converted calendar picked up the folder's default ACL";
    EXPECT_EQ(statusOf(folder / "a.dw2").st_mode & 07777, 0640u);
}

TEST(KeptMetadata, AGroupMemberConvertingSomeoneElsesCalendarLeavesItTheirs)
{
    if (!runningAsRoot())
        GTEST_SKIP() << "needs root to give files away and to become another user";
    TempFolder folder;
    fs::permissions(folder.path(), fs::perms(0777));
    writeFile(folder / "theirs.dw2", needsAlign);
    writeFile(folder / "after.dw2", needsAlign);
    for (const char* name : {"theirs.dw2", "after.dw2"}) {
        ASSERT_EQ(::chown((folder / name).c_str(), someone, theirGroup), 0);
        fs::permissions(folder / name, fs::perms(0664));
    }
    // A member of the calendar's group, with nothing more.
    const int status = inChild([&] {
        const gid_t groups[] = {theirGroup};
        if (::setgroups(1, groups) != 0 || ::setresgid(theirGroup, theirGroup, theirGroup) != 0
            || ::setresuid(member, member, member) != 0)
            return 99;
        return convertAll(folder, {"theirs.dw2", "after.dw2"}) == 2 ? 0 : 1;
    });
    ASSERT_EQ(status, 0);
    for (const char* name : {"theirs.dw2", "after.dw2"}) {
        EXPECT_EQ(readFile(folder / name), aligned);
        const struct stat after = statusOf(folder / name);
        EXPECT_EQ(after.st_uid, someone) << name;
        EXPECT_EQ(after.st_gid, theirGroup) << name;
        EXPECT_EQ(after.st_mode & 07777, 0664u) << name;
    }
    EXPECT_EQ(hiddenNames(folder.path()), "");
}

TEST(KeptMetadata, ACalendarThatNeedsNothingKeepsItsAccessTime)
{
    TempFolder folder;
    writeFile(folder / "plain.dw2", aligned);
    // Long ago, so that even a "relatime" mount would note a read.
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (folder / "plain.dw2").c_str(), old, 0), 0);
    {
        const int probe = ::open((folder / "probe").c_str(), O_RDWR | O_CREAT, 0644);
        ::futimens(probe, old);
        char byte;
        (void)::write(probe, "x", 1);
        (void)::futimens(probe, old);
        (void)::pread(probe, &byte, 1, 0);
        struct stat status {};
        ::fstat(probe, &status);
        ::close(probe);
        if (status.st_atim.tv_sec == old[0].tv_sec)
            GTEST_SKIP() << "this file system does not note reads";
    }
    EXPECT_EQ(convertAll(folder, {"plain.dw2"}), 0);
    const struct stat after = statusOf(folder / "plain.dw2");
    EXPECT_EQ(after.st_atim.tv_sec, old[0].tv_sec);
    EXPECT_EQ(after.st_mtim.tv_sec, old[1].tv_sec);
}

} // namespace
