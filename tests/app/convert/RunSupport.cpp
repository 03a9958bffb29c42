// SPDX-License-Identifier: MIT
#include "tests/app/convert/RunSupport.h"

#include <cstdlib>
#include <filesystem>
#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace dw::test {

platform::FileIo FaultyIo::io()
{
    const platform::FileIo& system = platform::systemFileIo();
    return {[this, &system](platform::NativeFile fd, const void* data, std::size_t size, std::uint64_t offset) {
                ++pwriteCalls;
                return pwrite ? pwrite(fd, data, size, offset) : system.pwrite(fd, data, size, offset);
            },
            [this, &system](platform::NativeFile fd) {
                ++syncCalls;
                return fdatasync ? fdatasync(fd) : system.fdatasync(fd);
            },
            system.fsync};
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

#if !defined(_WIN32)
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
#endif

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
