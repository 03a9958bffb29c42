// SPDX-License-Identifier: MIT
#include "tests/support/HangingShare.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace dw::test {

namespace {

constexpr const char* kPython = "/usr/bin/python3"; // Debian's, where python3-fusepy lives
constexpr auto kMountPatience = std::chrono::seconds(15);

bool exists(const char* path)
{
    struct stat status {};
    return ::stat(path, &status) == 0;
}

} // namespace

HangingShare::HangingShare(const std::string& mountPoint, const std::string& device) : mountPoint_(mountPoint)
{
    if (::geteuid() != 0) {
        unavailable_ = "mounting a FUSE file system here needs root";
        return;
    }
    if (!exists("/dev/fuse") || !exists(kPython)) {
        unavailable_ = "no /dev/fuse or no /usr/bin/python3";
        return;
    }
    const std::string script = std::string(DW_TEST_SUPPORT_DIR) + "/hanging-share.py";
    std::string arguments[] = {kPython, script, mountPoint, device};
    char* argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(), arguments[3].data(), nullptr};
    if (::posix_spawn(&server_, kPython, nullptr, nullptr, argv, environ) != 0) {
        server_ = -1;
        unavailable_ = "cannot start " + script;
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + kMountPatience;
    while (!mounted()) {
        int status = 0;
        if (::waitpid(server_, &status, WNOHANG) == server_) {
            server_ = -1;
            unavailable_ = "the FUSE server ended at once: is python3-fusepy installed (scripts/install-deps)?";
            return;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            end();
            unavailable_ = "the FUSE share did not appear in the mount table";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

HangingShare::~HangingShare()
{
    end();
}

bool HangingShare::mounted() const
{
    std::ifstream table("/proc/self/mounts");
    std::string device;
    std::string at;
    std::string rest;
    while (table >> device >> at && std::getline(table, rest)) {
        if (at == mountPoint_)
            return true;
    }
    return false;
}

void HangingShare::stop()
{
    if (server_ > 0)
        ::kill(server_, SIGSTOP);
}

void HangingShare::resume()
{
    if (server_ > 0)
        ::kill(server_, SIGCONT);
}

void HangingShare::end()
{
    if (server_ <= 0)
        return;
    ::umount2(mountPoint_.c_str(), MNT_DETACH);
    ::kill(server_, SIGKILL); // a stopped process ends too; its share's waiting calls then fail
    int status = 0;
    ::waitpid(server_, &status, 0);
    server_ = -1;
}

ShareRescue::ShareRescue(HangingShare& share, int patienceMs)
    : share_(share), rescuer_([this, patienceMs] {
          for (int waited = 0; waited < patienceMs && !done_; waited += 10)
              std::this_thread::sleep_for(std::chrono::milliseconds(10));
          if (!done_)
              share_.resume();
      })
{
}

ShareRescue::~ShareRescue()
{
    done();
}

void ShareRescue::done()
{
    done_ = true;
    if (rescuer_.joinable())
        rescuer_.join();
}

} // namespace dw::test
