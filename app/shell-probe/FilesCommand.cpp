// SPDX-License-Identifier: MIT
// shell-probe files [--sort name|size|type|modified|attributes] [--descending]
//                   [--filter MASKS] [--show-hidden] [--wait-ms N] PATH:
// the real file list, built offscreen with its usual options, showing PATH;
// once the listing is in and N more milliseconds of events have run (so
// that changes made meanwhile on disk are applied) it prints a header line
// and then one line per row, in the order the list shows them:
//
//   Name <TAB> Size <TAB> Type <TAB> Modified <TAB> Attributes
//
// the Name column's text; the size in bytes for a file, nothing for a
// folder; the Type column's text; the modification time as
// YYYY-MM-DD HH:MM:SS in local time; the Attributes column's letters.
//
// A PATH that does not open prints "Invalid folder" on standard error and
// exits with 1; a folder that cannot be read prints why and exits with 1.

#include "ProbeCommand.h"
#include "ProbeEvents.h"
#include "ProbeOutput.h"

#include "base/application/SsExceptionBoundary.h"
#include "base/exceptions/SsBase.h"
#include "shell/list/StListColumns.h"
#include "shell/list/StListOrder.h"
#include "shell/list/StShellListModel.h"
#include "shell/list/StShellListView.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>

#include <cstdio>
#include <unordered_map>

namespace {

struct FilesArguments {
    TStListColumn sort = lcName;
    bool descending = false;
    QString filter;
    bool showHidden = false;
    int waitMs = 0;
    std::string path;
};

constexpr const char* kColumnNames[] = {"name", "size", "type", "modified", "attributes"};

bool parseColumn(const std::string& name, TStListColumn& column)
{
    for (int i = 0; i < kListColumnCount; ++i) {
        if (name == kColumnNames[i]) {
            column = static_cast<TStListColumn>(i);
            return true;
        }
    }
    return false;
}

bool parseArguments(const std::vector<std::string>& arguments, FilesArguments& parsed)
{
    bool havePath = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--sort" && hasValue) {
            if (!parseColumn(arguments[++i], parsed.sort))
                return false;
        } else if (argument == "--descending") {
            parsed.descending = true;
        } else if (argument == "--filter" && hasValue) {
            parsed.filter = QString::fromStdString(arguments[++i]);
        } else if (argument == "--show-hidden") {
            parsed.showHidden = true;
        } else if (argument == "--wait-ms" && hasValue) {
            try {
                parsed.waitMs = std::stoi(arguments[++i]);
            } catch (const std::exception&) {
                return false;
            }
            if (parsed.waitMs < 0)
                return false;
        } else if (!havePath && (argument.rfind("--", 0) != 0 || argument == "--")) {
            parsed.path = argument == "--" && hasValue ? arguments[++i] : argument;
            havePath = true;
        } else {
            return false;
        }
    }
    return havePath;
}


// Local time as YYYY-MM-DD HH:MM:SS. The zone's offset is asked once per
// quarter of an hour (offsets change on such boundaries); the calendar date
// is then plain arithmetic, so a folder of 100,000 files costs little.
class LocalTimeText {
public:
    std::string operator()(std::int64_t seconds)
    {
        const std::int64_t quarter = seconds >= 0 ? seconds / 900 : (seconds - 899) / 900;
        auto found = offsets_.find(quarter);
        if (found == offsets_.end())
            found = offsets_.emplace(quarter, QDateTime::fromSecsSinceEpoch(seconds).offsetFromUtc()).first;
        const std::int64_t local = seconds + found->second;
        const std::int64_t days = local >= 0 ? local / 86400 : (local - 86399) / 86400;
        const std::int64_t time = local - days * 86400;
        int year = 0;
        unsigned month = 0;
        unsigned day = 0;
        civilFromDays(days, year, month, day);
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", year, month, day, int(time / 3600),
                      int(time / 60 % 60), int(time % 60));
        return text;
    }

private:
    // Days since 1970-01-01 to a proleptic Gregorian date.
    static void civilFromDays(std::int64_t days, int& year, unsigned& month, unsigned& day)
    {
        days += 719468;
        const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
        const auto dayOfEra = unsigned(days - era * 146097);
        const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
        const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
        const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
        day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
        month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
        year = int(std::int64_t(yearOfEra) + era * 400 + (month <= 2));
    }

    std::unordered_map<std::int64_t, int> offsets_;
};

void printRows(const TStShellListView& list, std::ostream& out)
{
    const TStShellListModel& model = list.Model();
    std::unordered_map<int, std::string> typeTexts; // one per type
    LocalTimeText localTime;
    std::string line = "Name\tSize\tType\tModified\tAttributes\n";
    out.write(line.data(), std::streamsize(line.size()));
    for (int row = 0; row < model.rowCount(); ++row) {
        const dw::platform::ChildRecord& record = model.RecordAt(row);
        const int typeKey = TStTypeRanks::KeyOf(record);
        auto type = typeTexts.find(typeKey);
        if (type == typeTexts.end())
            type = typeTexts.emplace(typeKey, TypeTextOf(record).toStdString()).first;
        line = ShownNameOf(record);
        line += '\t';
        if (record.file && !IsFolderRecord(record))
            line += std::to_string(record.file->size);
        line += '\t';
        line += type->second;
        line += '\t';
        if (record.file)
            line += localTime(record.file->lastWriteSeconds);
        line += '\t';
        line += AttributeLetters(record);
        line += '\n';
        out.write(line.data(), std::streamsize(line.size()));
    }
}


int runFiles(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    FilesArguments parsed;
    if (!parseArguments(arguments, parsed)) {
        err << "usage: shell-probe files [--sort name|size|type|modified|attributes] [--descending] "
               "[--filter MASKS] [--show-hidden] [--wait-ms N] PATH\n";
        return 2;
    }
    TStShellListView list;
    TStListOptions options = list.GetOptions();
    if (parsed.showHidden)
        options.Include(loShowHidden);
    list.SetOptions(options);
    list.SetSortColumn(parsed.sort);
    list.SetSortDirection(parsed.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    try {
        list.SetFilter(parsed.filter);
    } catch (const ESsException& failure) {
        err << "shell-probe: " << failure.what() << "\n";
        return 2;
    }
    list.resize(800, 600);
    list.show();
    if (!openAndSettle([&] { list.SetPath(parsed.path); }, [&] { return list.GetFolder() && !list.IsLoading(); }, parsed.waitMs, err))
        return 1;
    if (!list.GetErrorText().isEmpty()) {
        err << escapedBytes(parsed.path) << ": " << list.GetErrorText().toStdString() << "\n";
        return 1;
    }
    printRows(list, out);
    return 0;
}

const ProbeCommandRegistration registration{
    "files", "[--sort name|size|type|modified|attributes] [--descending] [--filter MASKS] [--show-hidden] [--wait-ms N] PATH",
    "the file list showing PATH: one line per row, in its order", runFiles};

} // namespace
