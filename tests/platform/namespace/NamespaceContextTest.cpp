// SPDX-License-Identifier: MIT
// The volume table is read once and again only when the kernel says the
// mounts changed: parsing a path or listing a folder asks for it all the
// time, and reading it looks at every mount point.

#include "platform/namespace/NamespaceContext.h"
#include "tests/support/IsolatedRun.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dw::platform;

namespace {

NamespaceContext systemContext()
{
    NamespaceEnvironment environment;
    environment.mountTablePath = "/proc/self/mounts";
    environment.sysBlockPath = "/sys/block";
    return NamespaceContext(environment);
}

} // namespace

TEST(NamespaceContext, KeepsTheVolumeTableWhileNothingIsMounted)
{
    const NamespaceContext context = systemContext();
    const auto first = context.volumeTable();
    EXPECT_EQ(context.volumeTable(), first);
    EXPECT_EQ(context.volumeTable(), first);
}

TEST(NamespaceContext, ReadsTheTableAgainAfterAMount)
{
    QTemporaryDir dir;
    const std::string mountPoint = dir.path().toStdString();
    // In a mount namespace of its own, so nothing outside sees the mount.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(77);
        const NamespaceContext context = systemContext();
        const auto before = context.volumeTable();
        if (::mount("dwtest", mountPoint.c_str(), "tmpfs", 0, "size=1m") != 0)
            ::_exit(77);
        const auto after = context.volumeTable();
        ::umount(mountPoint.c_str());
        ::_exit(after != before && context.volumeTable() != after ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) {
        if (dw::test::RanWithMountsOfItsOwn())
            return;
        GTEST_SKIP() << "mounting needs privileges this run does not have";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
