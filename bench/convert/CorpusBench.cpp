// SPDX-License-Identifier: MIT
// dw-corpus-bench: dw2convert on real files, side by side in one run with
// what the same files cost at the least, as medians of interleaved rounds.
//
//   dw-corpus-bench [--work DIR] [--runs N] [--before DW2CONVERT] [--only CASE]
//
//   unchanged-2mb    200 calendars of 2 MB that need nothing, against the scan limit
//   unchanged-38kb   4,000 calendars of 38 KB that need nothing, against the scan limit
//   converted-38kb   4,000 calendars of 38 KB, all converted, against cp -r and one sync
//   converted-2mb    200 calendars of 2 MB, all converted, against cp -r and one sync
//   big-unchanged    one calendar of 1 GB that needs nothing, against the scan limit
//   big-converted    one calendar of 1 GB, converted, against cp -r and one sync
//   varied-*         the same kinds of corpus written by the varied hand: tags in
//                    any case, tabs, blanks at line ends, lines of 24 bytes on
//                    average, LF or CR LF (see CalendarSynth.h)
//
// The scan limit is dw-scan-limit: one thread reading every file into a
// reused buffer and finding every newline with memchr. --before runs another
// dw2convert (an older build, say) in the same rounds. Corpora are made once
// in the work folder (about 5 GB for all cases) and kept for later runs.

#include "bench/convert/TimedProcess.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using dw::bench::ProcessRun;
using dw::bench::runProcess;
using dw::bench::runProcesses;

namespace {

struct Case {
    std::string name;
    long count;
    unsigned long long bytes;
    bool converted; // the calendars need converting, so each round works on a fresh copy
    const char* goal;
    const char* hand = "tidy";
};

const Case cases[] = {
    {"unchanged-2mb", 200, 2000000, false, "<= 1.3"},
    {"unchanged-38kb", 4000, 38000, false, "<= 1.5"},
    {"converted-38kb", 4000, 38000, true, "<= 2.5"},
    {"converted-2mb", 200, 2000000, true, "<= 2"},
    {"big-unchanged", 1, 1000000000, false, "-"},
    {"big-converted", 1, 1000000000, true, ">= 500 MB/s"},
    {"varied-unchanged-2mb", 200, 2000000, false, "<= 1.3", "varied"},
    {"varied-unchanged-38kb", 4000, 38000, false, "<= 1.3", "varied"},
    {"varied-converted-38kb", 4000, 38000, true, "<= 1.5", "varied"},
    {"varied-converted-2mb", 200, 2000000, true, "<= 1.5", "varied"},
};

struct Options {
    fs::path work = "/tmp/dw-corpus-bench";
    int runs = 5;
    std::string before;
    std::string only;
};

struct Contender {
    std::string label;
    std::string program;
    std::vector<double> seconds, reference, ratios;
    long peakKilobytes = 0;

    void record(const ProcessRun& referenceRun, const ProcessRun& run)
    {
        reference.push_back(referenceRun.seconds);
        seconds.push_back(run.seconds);
        ratios.push_back(run.seconds / referenceRun.seconds);
        peakKilobytes = std::max(peakKilobytes, run.peakKilobytes);
    }
};

fs::path toolFolder()
{
    return fs::read_symlink("/proc/self/exe").parent_path();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void failIf(bool failed, const std::string& what)
{
    if (failed) {
        std::fprintf(stderr, "dw-corpus-bench: %s\n", what.c_str());
        std::exit(1);
    }
}

fs::path makeCorpus(const Case& c, const Options& options)
{
    const fs::path corpus = options.work / c.name / "corpus";
    if (fs::exists(corpus / ".complete"))
        return corpus;
    fs::remove_all(corpus);
    std::printf("making %s: %ld calendars of %llu bytes\n", c.name.c_str(), c.count, c.bytes);
    std::fflush(stdout);
    const ProcessRun made = runProcess({(toolFolder() / "dw-make-corpus").string(), corpus.string(),
                                        std::to_string(c.count), std::to_string(c.bytes), c.converted ? "old" : "converted",
                                        c.hand});
    failIf(made.status != 0, "cannot make the corpus in " + corpus.string());
    runProcess({"sync"});
    fs::create_directories(corpus / ".complete");
    return corpus;
}

void sampleUnchanged(const fs::path& corpus, std::vector<Contender>& contenders, int round)
{
    const std::string scanLimit = (toolFolder() / "dw-scan-limit").string();
    // Alternate who goes first, so neither always finds the cache as the other left it.
    for (std::size_t k = 0; k < contenders.size(); ++k) {
        Contender& contender = contenders[(k + std::size_t(round)) % contenders.size()];
        const ProcessRun reference = runProcess({scanLimit, corpus.string()});
        const ProcessRun ours = runProcess({contender.program, "-r", corpus.string()});
        failIf(reference.status != 0 || ours.status != 0, contender.label + " failed on " + corpus.string());
        contender.record(reference, ours);
    }
}

void sampleConverted(const fs::path& corpus, std::vector<Contender>& contenders, int round)
{
    const fs::path copy = corpus.parent_path() / "copy";
    for (std::size_t k = 0; k < contenders.size(); ++k) {
        Contender& contender = contenders[(k + std::size_t(round)) % contenders.size()];
        runProcess({"rm", "-rf", copy.string()});
        runProcess({"sync"});
        // The reference makes the very files the contender then converts.
        const ProcessRun reference = runProcesses({{"cp", "-r", corpus.string(), copy.string()}, {"sync"}});
        const ProcessRun ours = runProcess({contender.program, "-r", copy.string()});
        failIf(reference.status != 0 || ours.status != 0, contender.label + " failed on " + copy.string());
        contender.record(reference, ours);
    }
    runProcess({"rm", "-rf", copy.string()});
}

void report(const Case& c, const std::vector<Contender>& contenders)
{
    const char* reference = c.converted ? "cp -r + sync" : "scan limit";
    for (const Contender& contender : contenders) {
        const double seconds = median(contender.seconds);
        std::printf("%-15s %-10s %8.3f s   %-13s %8.3f s   ratio %5.2f (goal %s)   %7.0f MB/s   peak %ld MB\n",
                    c.name.c_str(), contender.label.c_str(), seconds, reference, median(contender.reference),
                    median(contender.ratios), c.goal, double(c.count) * double(c.bytes) / seconds / 1e6,
                    contender.peakKilobytes / 1024);
    }
    std::fflush(stdout);
}

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--work") options.work = argv[i + 1];
        else if (option == "--runs") options.runs = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--before") options.before = argv[i + 1];
        else if (option == "--only") options.only = argv[i + 1];
        else failIf(true, "unknown option " + option);
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    std::printf("medians of %d interleaved rounds; ratio = the round's time over its reference's\n", options.runs);
    for (const Case& c : cases) {
        if (!options.only.empty() && options.only != c.name)
            continue;
        const fs::path corpus = makeCorpus(c, options);
        std::vector<Contender> contenders{{"dw2convert", (toolFolder() / "dw2convert").string(), {}, {}, {}, 0}};
        if (!options.before.empty())
            contenders.push_back({"before", options.before, {}, {}, {}, 0});
        runProcess({(toolFolder() / "dw-scan-limit").string(), corpus.string()}); // warm the cache
        for (int round = 0; round < options.runs; ++round) {
            if (c.converted)
                sampleConverted(corpus, contenders, round);
            else
                sampleUnchanged(corpus, contenders, round);
        }
        report(c, contenders);
    }
    return 0;
}
