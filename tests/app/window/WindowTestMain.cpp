// SPDX-License-Identifier: MIT
// The window's tests run inside the program's own application object, so
// that errors reach its error box as they do for a user.
#include "app/window/MainTexts.h"
#include "base/application/SsApplication.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// Run first thing, while the program has one thread: as root, the tests get
// mounts of their own, so that a share a test mounts (and stops) is seen by
// no other program of the machine, and a /tmp of their own.
void KeepMountsPrivate()
{
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0)
        return; // the share then cannot be mounted either: its test says why
    // Nothing mounted here reaches the machine's own mounts.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return;
    // The tests' folders lie in /tmp, which the tree then shows expanded;
    // files other programs make and remove there at the same time would
    // make the tree read it again meanwhile.
    ::mount("dw-window-tests", "/tmp", "tmpfs", MS_NOSUID | MS_NODEV, "mode=1777");
}

} // namespace

int main(int argc, char** argv)
{
    KeepMountsPrivate();
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TSsApplication application(argc, argv);
    QApplication::setApplicationDisplayName(QString::fromLatin1(dw::window::kApplicationTitle));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
