// SPDX-License-Identifier: MIT
#pragma once
// A network share whose server can be made to stop answering, for real:
// hanging-share.py (a tiny FUSE file system, mounted as an "sshfs" share)
// holding the folder "sub" with the calendars "a.dw2" and "b.dw2". While its
// process is stopped (SIGSTOP) every look into the share waits, as it does
// for a server that went away.

#include <QProcess>

#include <filesystem>
#include <string>

namespace window_testing {

// Run first thing in main, while the program has one thread: as root, the
// program gets mounts of its own, so that a share it mounts (and stops) is
// seen by no other program of the machine, and a /tmp of its own.
void KeepMountsPrivate();

class HangingShare {
public:
    // Mounts the share at `mountPoint` (made when missing).
    explicit HangingShare(const std::filesystem::path& mountPoint);
    // Lets the server answer again, unmounts the share and ends the server.
    ~HangingShare();
    HangingShare(const HangingShare&) = delete;
    HangingShare& operator=(const HangingShare&) = delete;

    bool Mounted() const { return m_mounted; }
    // Why the share could not be mounted.
    const std::string& WhyNot() const { return m_whyNot; }

    void StopServer();
    void ResumeServer();

private:
    std::filesystem::path m_mountPoint;
    QProcess m_server;
    bool m_mounted = false;
    std::string m_whyNot;
};

} // namespace window_testing
