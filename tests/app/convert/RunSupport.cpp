// SPDX-License-Identifier: MIT
#include "tests/app/convert/RunSupport.h"

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace dw::test {

platform::FileIo FaultyIo::io()
{
    return {[this](int fd, const void* data, std::size_t size, off_t offset) {
                ++pwriteCalls;
                return pwrite ? pwrite(fd, data, size, offset) : ::pwrite(fd, data, size, offset);
            },
            [this](int fd) {
                ++syncCalls;
                return fdatasync ? fdatasync(fd) : ::fdatasync(fd);
            },
            [](int fd) { return ::fsync(fd); }};
}

std::vector<convert::CalendarEntry> selected(const std::vector<std::string>& names)
{
    std::vector<convert::CalendarEntry> entries;
    for (const std::string& name : names)
        entries.push_back({name, true});
    return entries;
}

void ThreeCalendars::SetUp()
{
    for (const char* name : {"a.dw2", "b.dw2", "c.dw2"})
        writeFile(folder / name, needsAlign);
}

std::int32_t ThreeCalendars::convert(const std::vector<std::string>& names)
{
    convert::ConversionOptions options;
    options.io = &io;
    convert::ConversionRun run(options, &recorder);
    return run.convert(folder.prefix(), selected(names));
}

int inChild(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string hiddenNames(const std::string& folder)
{
    std::string names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name[0] == '.')
            names += name + ";";
    }
    return names;
}

} // namespace dw::test
