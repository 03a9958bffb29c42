// SPDX-License-Identifier: MIT
// The main window on large folders, each figure beside a reference measured
// in the same rounds (runs interleaved, medians printed):
// - filling the list from a folder of 100,000 entries (half of them
//   calendars) against `find FOLDER -maxdepth 1 -name '*.dw2'`, and the
//   longest stall of the window's thread meanwhile; then the time until
//   every calendar is marked;
// - converting a folder of calendars with "Convert Selected" against
//   dw2convert on the same calendars, and the longest stall meanwhile.
//
// - with --frames, instead: the list's area grabbed from the screen while
//   the folder of 100,000 entries fills and its calendars are marked, and
//   how many of those frames showed no row though the list held some (run
//   it under xvfb-run: only a real X server shows what a person sees).
//
//   dw_bench_window [--entries N] [--convert N] [--runs N] [--dir PATH] [--frames]

#include "bench/support/BenchArguments.h"
#include "app/window/CalendarBox.h"
#include "bench/app/ListFrames.h"
#include "app/window/Main.h"
#include "bench/support/StallMeter.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

using bench::argument;
using bench::textArgument;

namespace {

const std::string kNeedsConverting = "<datewright>\r\n<script>\r\n<weekcal>\r\n<events>\r\n<eventcolor>1\r\n"
                                     "</events>\r\n</weekcal>\r\n</datewright>\r\n";



void writeCalendar(const fs::path& path)
{
    std::ofstream(path, std::ios::binary) << kNeedsConverting;
}

// Half calendars, half other files; made once and kept.
void makeListingCorpus(const fs::path& folder, int entries)
{
    if (fs::exists(folder / "done"))
        return;
    fs::create_directories(folder);
    for (int i = 0; i < entries; ++i) {
        const fs::path path = folder / (i % 2 ? "notes" + std::to_string(i) + ".txt" : "cal" + std::to_string(i) + ".dw2");
        writeCalendar(path);
    }
    std::ofstream(folder / "done") << entries;
}

void makeCalendars(const fs::path& folder, int count)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i)
        writeCalendar(folder / ("cal" + std::to_string(i) + ".dw2"));
}

// Runs the event loop until `done` says so.
template <typename Condition>
void turnUntil(Condition done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double runProcessMs(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    process.waitForFinished(-1);
    return clock.nsecsElapsed() / 1e6;
}

class WindowRuns {
public:
    WindowRuns()
    {
        form.SetMessageBox([](QWidget*, const QString&, const QString&) {});
        form.show();
        turnUntil([this] { return !form.IsListing() && !form.IsMarking(); });
    }

    // Selects `folder` as a click in the tree would.
    void select(const fs::path& folder)
    {
        const dw::platform::IdListPtr list = dw::platform::parsingNameToIdList(folder.string());
        TStShellFolder shellFolder(list.get(), nullptr);
        form.ShellTreeFolderSelected(form.ShellTree, &shellFolder);
    }

    struct Listing {
        double filledMs = 0, longestStallMs = 0, markedMs = 0;
        int listed = 0;
    };
    Listing list(const fs::path& folder)
    {
        select(folder.parent_path()); // a different list first
        waitUntilMarked();
        Listing figures;
        StallMeter meter;
        select(folder);
        turnUntil([this] { return !form.IsListing(); });
        figures.filledMs = meter.elapsedMs();
        figures.longestStallMs = meter.longestMs();
        waitUntilMarked();
        figures.markedMs = meter.elapsedMs();
        figures.listed = form.CalendarBox->Items().Count();
        return figures;
    }

    FrameCount frames(const fs::path& folder)
    {
        select(folder.parent_path());
        waitUntilMarked();
        select(folder);
        return ListFrames::Watch(
            *form.CalendarBox->viewport(), [this] { return form.CalendarBox->Items().Count(); },
            [this] { return !form.IsListing() && !form.IsMarking(); });
    }

    struct Converting {
        double ms = 0, longestStallMs = 0;
    };
    Converting convert(const fs::path& folder)
    {
        select(folder);
        waitUntilMarked();
        form.SelectBtnClick(form.SelectBtn);
        Converting figures;
        StallMeter meter;
        form.ConvertBtnClick(form.ConvertBtn);
        figures.ms = meter.elapsedMs();
        figures.longestStallMs = meter.longestMs();
        return figures;
    }

private:
    void waitUntilMarked()
    {
        turnUntil([this] { return !form.IsListing() && !form.IsMarking(); });
    }

    dw::window::TForm1 form;
};

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    const int entries = argument(argc, argv, "--entries", 100000);
    const int converted = argument(argc, argv, "--convert", 2000);
    const int runs = std::max(argument(argc, argv, "--runs", 5), 1);
    const char* kept = textArgument(argc, argv, "--dir");
    const fs::path root = kept ? kept : "/tmp/dw-window-bench";
    // The window reads its settings at start: an empty store of its own.
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    const fs::path listing = root / "listing";
    const fs::path toConvert = root / "convert";
    std::printf("making %d entries in %s (kept for later runs)...\n", entries, listing.c_str());
    makeListingCorpus(listing, entries);

    WindowRuns window;
    if (std::find_if(argv + 1, argv + argc, [](const char* option) { return std::strcmp(option, "--frames") == 0; })
        != argv + argc) {
        std::printf("\nthe list's frames while a folder of %d entries fills and is marked\n", entries);
        for (int run = 0; run < runs; ++run) {
            const FrameCount count = window.frames(listing);
            std::printf("  run %d: %d frames with rows, %d of them blank\n", run + 1, count.frames, count.blank);
        }
        return 0;
    }
    std::vector<double> filled, found, listStalls, marked, windowConvert, commandConvert, convertStalls;
    int listed = 0;
    for (int run = 0; run < runs; ++run) {
        found.push_back(runProcessMs(QStringLiteral("find"), {QString::fromStdString(listing.string()),
                                                             QStringLiteral("-maxdepth"), QStringLiteral("1"),
                                                             QStringLiteral("-name"), QStringLiteral("*.dw2")}));
        const WindowRuns::Listing figures = window.list(listing);
        filled.push_back(figures.filledMs);
        listStalls.push_back(figures.longestStallMs);
        marked.push_back(figures.markedMs);
        listed = figures.listed;

        makeCalendars(toConvert, converted);
        commandConvert.push_back(runProcessMs(QStringLiteral(DW2CONVERT_PATH),
                                              {QString::fromStdString(toConvert.string())}));
        makeCalendars(toConvert, converted);
        const WindowRuns::Converting conversion = window.convert(toConvert);
        windowConvert.push_back(conversion.ms);
        convertStalls.push_back(conversion.longestStallMs);
    }
    fs::remove_all(toConvert);

    std::printf("\nfolder of %d entries, %d of them calendars listed; medians of %d interleaved runs\n", entries,
                listed, runs);
    std::printf("  list filled               %9.1f ms   find -maxdepth 1 -name '*.dw2' %9.1f ms   ratio %.2f\n",
                median(filled), median(found), median(filled) / median(found));
    std::printf("  longest UI stall while listing  %9.1f ms\n", median(listStalls));
    std::printf("  every calendar marked     %9.1f ms (from the selection)\n", median(marked));
    std::printf("\nconverting %d calendars\n", converted);
    std::printf("  Convert Selected          %9.1f ms   dw2convert FOLDER               %9.1f ms   ratio %.2f\n",
                median(windowConvert), median(commandConvert), median(windowConvert) / median(commandConvert));
    std::printf("  longest UI stall while converting %9.1f ms\n", median(convertStalls));
    return 0;
}
