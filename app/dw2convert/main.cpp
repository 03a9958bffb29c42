// SPDX-License-Identifier: MIT
// dw2convert: the command-line face of the calendar conversion.

#include "app/convert/ConversionRun.h"
#include "app/dw2convert/CalendarFolderWalk.h"
#include "app/dw2convert/CommandLine.h"
#include "platform/files/ErrorText.h"
#include "platform/files/ProgramArguments.h"
#include "platform/signals/StopSignals.h"

#include <iostream>
#include <new>

namespace {

enum ExitStatus { Done = 0, WriteFailed = 1, UsageError = 2, SomeSkipped = 3 };

class PrintingObserver : public dw::convert::ConversionObserver {
public:
    explicit PrintingObserver(char terminator) : terminator_(terminator) {}

    // Each path goes out the moment its file is on disk, so a run killed
    // outright has still printed every file it wrote, but for a last few.
    void calendarWritten(const std::string& path) override { std::cout << path << terminator_ << std::flush; }
    void calendarSkipped(const std::string& path, const std::string& reason) override { warn(path, reason); }
    bool stopRequested() override { return dw::platform::stopSignal() != 0; }

    void warn(const std::string& path, const std::string& reason)
    {
        std::cout.flush();
        std::cerr << "dw2convert: " << path << ": " << reason << '\n';
        warned_ = true;
    }
    bool warned() const { return warned_; }

private:
    char terminator_;
    bool warned_ = false;
};

int usageError(const std::string& error)
{
    std::cerr << "dw2convert: " << error << "\nTry 'dw2convert --help' for more information.\n";
    return UsageError;
}

// The window's message, then which file it was and why.
void reportFailedWrite(const dw::convert::ConversionError& error)
{
    std::cerr << dw::convert::withFullStop(error.what()) << '\n';
    const std::string reason = error.systemError() != 0 ? dw::platform::describeError(error.systemError())
                                                        : "the write could not be completed";
    std::cerr << "dw2convert: " << error.path() << ": " << reason << '\n';
}

void printCount(const dw::cli::CommandLine& line, std::int32_t count)
{
    const std::string text = line.dryRun ? "Files that would be modified: " + std::to_string(count)
                                         : dw::convert::filesModifiedMessage(count);
    // With NUL-terminated paths, standard output holds nothing but paths.
    (line.nullTerminated ? std::cerr : std::cout) << text << '\n';
}

int run(const dw::cli::CommandLine& line)
{
    PrintingObserver observer(line.nullTerminated ? '\0' : '\n');
    dw::convert::ConversionOptions options;
    options.dryRun = line.dryRun;
    dw::convert::ConversionRun conversion(options, &observer);
    dw::cli::CalendarFolderWalk walk(
        conversion, {line.recursive}, [&](const std::string& path, const std::string& reason) { observer.warn(path, reason); },
        [&] { return observer.stopRequested(); });
    try {
        for (const std::string& path : line.paths)
            walk.convertPath(path);
        conversion.finish();
    } catch (const dw::convert::ConversionError& error) {
        std::cout.flush();
        reportFailedWrite(error);
        return WriteFailed;
    } catch (const dw::convert::ConversionInterrupted&) {
        std::cout.flush();
        std::cerr << "dw2convert: interrupted; every file printed was written, the rest were not touched\n";
        return 128 + dw::platform::stopSignal();
    } catch (const std::bad_alloc&) {
        std::cout.flush();
        std::cerr << "dw2convert: out of memory; the run stopped\n";
        return WriteFailed;
    }
    printCount(line, conversion.filesWritten());
    return observer.warned() ? SomeSkipped : Done;
}

// Output that could not be written is an error too (a full disk, a closed pipe).
int withCheckedOutput(int status)
{
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "dw2convert: write error on standard output\n";
        return status == Done || status == SomeSkipped ? WriteFailed : status;
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    const dw::cli::CommandLine line = dw::cli::parseCommandLine(dw::platform::programArguments(argc, argv));
    if (!line.error.empty())
        return usageError(line.error);
    if (line.showHelp) {
        std::cout << dw::cli::usageText();
        return withCheckedOutput(Done);
    }
    if (line.showVersion) {
        std::cout << dw::cli::versionText();
        return withCheckedOutput(Done);
    }
    dw::platform::catchStopSignals();
    return withCheckedOutput(run(line));
}
