// shell-probe list PATH: the children of the folder PATH parses to, as the
// folder tree lists them with files and hidden items, in the namespace's
// order, one per line:
//
//   display name <TAB> parsing name <TAB> attributes (0x%08X) <TAB> drive type or "-"
//
// A folder that cannot be read prints the reason on standard error and
// exits with 1.

#include "ProbeCommand.h"
#include "ProbeOutput.h"

#include "platform/listing/ListingProducer.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/controller/StShellController.h"
#include "shell/items/StShellItem.h"

#include <algorithm>
#include <deque>
#include <cstdio>

namespace {

using namespace dw::platform;

constexpr SfgaoFlags kListedAttributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HIDDEN | SFGAO_LINK
    | SFGAO_HASSUBFOLDER | SFGAO_CANRENAME | SFGAO_COMPRESSED | SFGAO_SHARE;

std::string attributeText(const ChildRecord& record)
{
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(record.attributes & kListedAttributes));
    return text;
}

std::string driveText(const ChildRecord& record)
{
    const auto type = currentShellNamespace().volumeDriveType(record.absolute.get());
    return type ? driveTypeName(*type) : "-";
}

int runList(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.size() != 1) {
        err << "usage: shell-probe list PATH\n";
        return 2;
    }
    const IdListPtr list = parsingNameToIdList(arguments[0]);
    if (!list) {
        err << invalidFolderText() << "\n";
        return 1;
    }
    TStCustomShellController controller;
    ListingRequest request;
    request.folder = shareIdList(IdListPtr(ILClone(list.get())));
    request.flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;
    request.attributes = kListedAttributes;
    request.probeChildren = true;
    request.icons = false;
    std::deque<ChildRecord> records; // stays in place as it grows
    ListingBatch outcome;
    ListingProducer::listNow(request, [&](ListingBatch&& batch) {
        std::move(batch.records.begin(), batch.records.end(), std::back_inserter(records));
        if (batch.last)
            outcome = std::move(batch);
    });
    IShellFolder& desktop = *controller.GetDesktopFolder();
    std::vector<const ChildRecord*> order;
    order.reserve(records.size());
    for (const ChildRecord& record : records)
        order.push_back(&record);
    std::stable_sort(order.begin(), order.end(), [&](const ChildRecord* a, const ChildRecord* b) {
        return compareSiblings(*a, *b, desktop) < 0;
    });
    for (const ChildRecord* record : order) {
        out << TStShellItem::ShownName(record->parsingName, record->displayName) << '\t' << escapedBytes(record->parsingName) << '\t'
            << attributeText(*record) << '\t' << driveText(*record) << '\n';
    }
    if (failed(outcome.result)) {
        err << escapedBytes(arguments[0]) << ": " << outcome.errorText << "\n";
        return 1;
    }
    return 0;
}

const ProbeCommandRegistration registration{"list", "PATH", "the children of the folder PATH, one per line",
                                            runList};

} // namespace
