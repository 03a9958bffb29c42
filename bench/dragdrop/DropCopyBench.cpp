// SPDX-License-Identifier: MIT
// Copying by drop against `cp -r` on the same source, side by side in one
// run: a folder of many small files and one large file, each dropped into an
// empty folder with Ctrl (copy). The drop measures what it will copy first
// and reports progress and checks for Cancel as it goes; this shows what
// that costs. Also the time the window's thread spends on the drop
// (DragEnter and PrepareDrop), the rest running on a worker.
//
// Prints the median of interleaved runs for each and the ratio drop / cp.
//
//   dw_bench_dragdrop [--files N] [--large-mib N] [--runs N] [--dir PATH]

#include "platform/fileops/FolderDropTarget.h"
#include "platform/fileops/TransferProgress.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace dw::platform;
using Clock = std::chrono::steady_clock;

namespace {

struct Options {
    int files = 10000;
    int largeMib = 256;
    int runs = 5;
    std::string dir = (fs::temp_directory_path() / "dw-dragdrop-bench").string();
};

Options parse(const QStringList& arguments)
{
    Options options;
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        const QString& name = arguments[i];
        const QString& value = arguments[i + 1];
        if (name == "--files")
            options.files = value.toInt();
        else if (name == "--large-mib")
            options.largeMib = value.toInt();
        else if (name == "--runs")
            options.runs = value.toInt();
        else if (name == "--dir")
            options.dir = value.toStdString();
    }
    return options;
}

void writeBytes(const fs::path& path, std::size_t size)
{
    std::ofstream out(path, std::ios::binary);
    const std::string block(1 << 16, 'c');
    for (std::size_t written = 0; written < size; written += block.size())
        out.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), size - written)));
}

void makeSources(const Options& options, const fs::path& small, const fs::path& large)
{
    for (int i = 0; i < options.files; ++i) {
        const fs::path folder = small / ("sub" + std::to_string(i / 100));
        fs::create_directories(folder);
        writeBytes(folder / ("cal" + std::to_string(i) + ".dw2"), 4096);
    }
    fs::create_directories(large.parent_path());
    writeBytes(large, std::size_t(options.largeMib) << 20);
}

double seconds(Clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// Seconds for the whole drop, and for the part on the window's thread.
std::pair<double, double> dropOnce(const fs::path& source, const fs::path& target)
{
    const auto start = Clock::now();
    FolderDropTarget dropTarget(target.string(), nullptr);
    unsigned effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    dropTarget.DragEnter({source.string()}, MK_CONTROL, effect);
    std::unique_ptr<IDropOperation> operation;
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    dropTarget.PrepareDrop({source.string()}, MK_CONTROL, effect, operation);
    const auto prepared = Clock::now();
    TransferProgress progress;
    if (!operation || failed(operation->Run(progress).result)) {
        std::fprintf(stderr, "the drop failed\n");
        std::exit(1);
    }
    return {seconds(Clock::now() - start), seconds(prepared - start)};
}

double cpOnce(const fs::path& source, const fs::path& target)
{
    const auto start = Clock::now();
    const QStringList arguments = {"-r", "--", QString::fromStdString(source.string()),
                                   QString::fromStdString((target / source.filename()).string())};
    if (QProcess::execute("cp", arguments) != 0) {
        std::fprintf(stderr, "cp failed\n");
        std::exit(1);
    }
    return seconds(Clock::now() - start);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void compare(const char* what, const fs::path& source, const fs::path& work, int runs)
{
    std::vector<double> drops;
    std::vector<double> windowParts;
    std::vector<double> copies;
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const fs::path target = work / "target";
            fs::remove_all(target);
            fs::create_directories(target);
            if ((run + turn) % 2 == 0) {
                const auto [total, window] = dropOnce(source, target);
                drops.push_back(total);
                windowParts.push_back(window);
            } else {
                copies.push_back(cpOnce(source, target));
            }
        }
    }
    fs::remove_all(work / "target");
    std::printf("%-26s drop %8.3f s   cp -r %8.3f s   ratio %.2f   window thread %.3f ms\n", what, median(drops),
                median(copies), median(drops) / median(copies), median(windowParts) * 1000);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const Options options = parse(application.arguments());
    const fs::path work = options.dir;
    const fs::path small = work / "small" / "Calendars";
    const fs::path large = work / "large" / "big.bin";
    fs::remove_all(work);
    makeSources(options, small, large);
    std::printf("median of %d interleaved runs each\n", options.runs);
    compare((std::to_string(options.files) + " files of 4 KiB").c_str(), small, work, options.runs);
    compare((std::to_string(options.largeMib) + " MiB file").c_str(), large, work, options.runs);
    fs::remove_all(work);
    return 0;
}
