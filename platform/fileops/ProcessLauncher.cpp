// SPDX-License-Identifier: MIT
#include "platform/fileops/ProcessLauncher.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace dw::platform {

namespace {

// Spawn attributes for a program that lives on its own: a session of its
// own (a Ctrl+C in the terminal that started us does not reach it), no
// blocked signals and default handling of every signal, whatever this
// process set up for itself.
class DetachedSpawnAttributes {
public:
    DetachedSpawnAttributes() { valid_ = ::posix_spawnattr_init(&attributes_) == 0 && configure(); }
    ~DetachedSpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
    DetachedSpawnAttributes(const DetachedSpawnAttributes&) = delete;
    DetachedSpawnAttributes& operator=(const DetachedSpawnAttributes&) = delete;

    const posix_spawnattr_t* get() const { return valid_ ? &attributes_ : nullptr; }

private:
    bool configure()
    {
        sigset_t none;
        sigset_t all;
        ::sigemptyset(&none);
        ::sigfillset(&all);
        ::sigdelset(&all, SIGKILL);
        ::sigdelset(&all, SIGSTOP);
        return ::posix_spawnattr_setsigmask(&attributes_, &none) == 0
            && ::posix_spawnattr_setsigdefault(&attributes_, &all) == 0
            && ::posix_spawnattr_setflags(&attributes_,
                                          POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF)
            == 0;
    }

    posix_spawnattr_t attributes_{};
    bool valid_ = false;
};

// The program stays our child until it ends; a thread of its own waits for
// that, so it is never left as a zombie. Only this pid is waited for: the
// children of QProcess are none of our business.
void reapWhenItEnds(pid_t pid)
{
    try {
        std::thread([pid] {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the program runs all the same, and its exit
        // status waits in the process table until we end.
    }
}

} // namespace

bool launchDetached(const std::vector<std::string>& arguments)
{
    if (arguments.empty() || arguments.front().empty())
        return false;
    // Everything is allocated before the spawn: the child runs nothing but
    // the exec, which is safe in a process with other threads.
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const DetachedSpawnAttributes attributes;
    if (!attributes.get())
        return false;
    pid_t pid = 0;
    // posix_spawnp reports a failed exec (no such program, no permission)
    // as well as a failed process creation.
    if (::posix_spawnp(&pid, argv[0], nullptr, attributes.get(), argv.data(), environ) != 0)
        return false;
    reapWhenItEnds(pid);
    return true;
}

} // namespace dw::platform
