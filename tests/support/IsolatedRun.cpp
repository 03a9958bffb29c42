// SPDX-License-Identifier: MIT
#include "tests/support/IsolatedRun.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace dw::test {

namespace {

constexpr const char* kNobody = "65534";
constexpr const char* kSetpriv = "/usr/bin/setpriv";
constexpr const char* kUnshare = "/usr/bin/unshare";
// Set in a run with mounts of its own, which must not ask for one again.
constexpr const char* kOwnMounts = "DW_TEST_OWN_MOUNTS";

// This test program's own file.
std::string thisProgram()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, std::size_t(length)) : std::string();
}

// The environment, with a home and a temporary folder of the child's own and
// no runtime folder of root's.
std::vector<std::string> childEnvironment(const std::string& home)
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        if (!variable.starts_with("HOME=") && !variable.starts_with("TMPDIR=")
            && !variable.starts_with("XDG_RUNTIME_DIR="))
            variables.push_back(variable);
    }
    variables.push_back("HOME=" + home);
    variables.push_back("TMPDIR=" + home);
    return variables;
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    for (std::string& text : texts)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

struct ChildRun {
    int status = -1;
    std::string output;
};

// Runs `arguments` with `environment`, its output and errors gathered. All
// is prepared before the fork: the child only redirects and executes.
ChildRun run(std::vector<std::string> arguments, std::vector<std::string> environment)
{
    std::vector<char*> argv = pointers(arguments);
    std::vector<char*> envp = pointers(environment);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::dup2(pipeEnds[1], STDERR_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    ChildRun result;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
        if (got > 0)
            result.output.append(buffer, std::size_t(got));
        else if (errno != EINTR)
            break;
    }
    ::close(pipeEnds[0]);
    if (child > 0)
        while (::waitpid(child, &result.status, 0) < 0 && errno == EINTR) {
        }
    return result;
}

std::string currentTestName()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(test->test_suite_name()) + "." + test->name();
}

// The child's outcome as this test's; `how` says how it was run, `whyNot`
// why it may not have started at all.
void reportChildRun(const std::string& name, const ChildRun& child, const std::string& how,
                    const std::string& whyNot)
{
    const bool exited = WIFEXITED(child.status);
    const int code = exited ? WEXITSTATUS(child.status) : -1;
    if (exited && (code == 126 || code == 127) && child.output.find("[ RUN") == std::string::npos)
        GTEST_SKIP() << "this test program cannot be run " << how << " (" << whyNot << "): " << child.output;
    if (child.output.find("[  SKIPPED ] " + name) != std::string::npos)
        GTEST_SKIP() << "skipped when run " << how << ":\n" << child.output;
    if (!exited || code != 0 || child.output.find("[       OK ] " + name) == std::string::npos)
        ADD_FAILURE() << "run " << how << ", the test failed:\n" << child.output;
}

} // namespace

bool RanAsOrdinaryUser()
{
    if (::geteuid() != 0)
        return false;
    const std::string name = currentTestName();
    // A folder of the child's own, below one that everybody may enter.
    static const TempFolder homes;
    ::chmod(homes.path().c_str(), 0755);
    static int runs = 0;
    const std::string home = (homes.path() / ("home" + std::to_string(++runs))).string();
    ::mkdir(home.c_str(), 0700);
    if (::chown(home.c_str(), 65534, 65534) != 0) {
        ADD_FAILURE() << "cannot give " << home << " to nobody: " << std::strerror(errno);
        return true;
    }
    const ChildRun child = run({kSetpriv, std::string("--reuid=") + kNobody, std::string("--regid=") + kNobody,
                                "--clear-groups", "--", thisProgram(), "--gtest_filter=" + name},
                               childEnvironment(home));
    reportChildRun(name, child, "as nobody", "setpriv missing, or a folder above it closed to others");
    return true;
}

bool RanWithMountsOfItsOwn()
{
    if (std::getenv(kOwnMounts) != nullptr)
        return false;
    const std::string name = currentTestName();
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        environment.emplace_back(*entry);
    environment.push_back(std::string(kOwnMounts) + "=1");
    const ChildRun child = run({kUnshare, "--user", "--map-root-user", "--mount", "--", thisProgram(),
                                "--gtest_filter=" + name},
                               environment);
    reportChildRun(name, child, "in a user and mount namespace of its own",
                   "unshare missing, or user namespaces not allowed here");
    return true;
}

} // namespace dw::test
