#include "platform/namespace/ProcessLauncher.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dw::platform {

namespace {

// In the grandchild: start the program, or report why not through `report`.
[[noreturn]] void execOrReport(const std::vector<std::string>& arguments, int report)
{
    ::setsid();
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    const int error = errno;
    [[maybe_unused]] const auto written = ::write(report, &error, sizeof error);
    ::_exit(127);
}

} // namespace

bool launchDetached(const std::vector<std::string>& arguments)
{
    if (arguments.empty() || arguments.front().empty())
        return false;
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;
    // Two forks: the program is adopted by init and never left as a zombie.
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        if (::fork() == 0)
            execOrReport(arguments, report[1]);
        ::_exit(0);
    }
    ::close(report[1]);
    if (child < 0) {
        ::close(report[0]);
        return false;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes on a successful exec; it carries errno otherwise.
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return got == 0;
}

} // namespace dw::platform
