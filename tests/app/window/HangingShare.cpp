// SPDX-License-Identifier: MIT
#include "tests/app/window/HangingShare.h"

#include <QThread>

#include <csignal>
#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace window_testing {

namespace {

bool IsMountedShare(const fs::path& mountPoint)
{
    std::ifstream mounts("/proc/self/mounts");
    std::string source, target, type;
    std::string rest;
    while (mounts >> source >> target >> type && std::getline(mounts, rest))
        if (target == mountPoint.string() && type == "fuse.sshfs")
            return true;
    return false;
}

} // namespace

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

HangingShare::HangingShare(const fs::path& mountPoint) : m_mountPoint(mountPoint)
{
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        m_whyNot = "no FUSE here (/dev/fuse cannot be opened): a share cannot be mounted";
        return;
    }
    fs::create_directories(mountPoint);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(HANGING_SHARE_SCRIPT), QString::fromStdString(mountPoint.string())});
    m_server.waitForStarted(10000);
    for (int waited = 0; waited < 10000 && m_server.state() == QProcess::Running; waited += 20) {
        if (IsMountedShare(mountPoint)) {
            m_mounted = true;
            return;
        }
        QThread::msleep(20);
    }
    m_server.waitForFinished(1000);
    m_whyNot = "the FUSE share did not mount (scripts/install-deps installs python3-fusepy and fuse3): "
        + m_server.readAll().toStdString();
}

HangingShare::~HangingShare()
{
    ResumeServer();
    if (m_mounted)
        ::umount2(m_mountPoint.c_str(), MNT_DETACH);
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
    }
    m_server.waitForFinished(5000);
}

void HangingShare::StopServer()
{
    if (const qint64 server = m_server.processId(); server > 0)
        ::kill(static_cast<pid_t>(server), SIGSTOP);
}

void HangingShare::ResumeServer()
{
    if (const qint64 server = m_server.processId(); server > 0)
        ::kill(static_cast<pid_t>(server), SIGCONT);
}

} // namespace window_testing
