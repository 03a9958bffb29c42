// SPDX-License-Identifier: MIT
#pragma once
// A network share whose server can stop answering, for tests: the FUSE file
// system of hanging-share.py, typed as an sshfs mount, mounted on a folder
// for the object's life. Needs root, /dev/fuse and python3-fusepy
// (scripts/install-deps installs it).

#include <atomic>
#include <string>
#include <thread>
#include <sys/types.h>

namespace dw::test {

class HangingShare {
public:
    // Mounts the share of `device` ("SERVER:/EXPORT") on the folder
    // `mountPoint`, which must exist.
    HangingShare(const std::string& mountPoint, const std::string& device);
    // Unmounts it and ends its server, stopped or not: calls still waiting
    // on it then fail instead of waiting for ever.
    ~HangingShare();
    HangingShare(const HangingShare&) = delete;
    HangingShare& operator=(const HangingShare&) = delete;

    // Why the share could not be mounted; empty when it is.
    const std::string& unavailable() const { return unavailable_; }

    // The server stops answering (SIGSTOP): every call on the share waits.
    void stop();
    // It answers again.
    void resume();

private:
    bool mounted() const;
    void end();

    std::string mountPoint_;
    pid_t server_ = -1;
    std::string unavailable_;
};

// Resumes a stopped share after `patienceMs` unless the test said done()
// first: a test of a call that must not wait for the share then ends, and
// fails, instead of hanging.
class ShareRescue {
public:
    ShareRescue(HangingShare& share, int patienceMs);
    ~ShareRescue();
    ShareRescue(const ShareRescue&) = delete;
    ShareRescue& operator=(const ShareRescue&) = delete;

    // The call returned; the share stays stopped.
    void done();

private:
    HangingShare& share_;
    std::atomic<bool> done_{false};
    std::thread rescuer_;
};

} // namespace dw::test
