// SPDX-License-Identifier: MIT
#pragma once
// Keeps a burst of changes small without changing what it means to the
// owner of a view:
// - a content or attribute change repeated for the same item with nothing
//   else happening to it in between is told once;
// - an attribute change of an item that came (was made, or renamed to its
//   name) earlier in the same batch is not told: it would overtake the
//   report of the item's coming, and that report already shows it;
// - when the reports one read would send (one per name of each changed
//   item, see `ReportBudget`) exceed what a view keeps waiting, the folders
//   with the most changes are replaced by a single "folder contents changed"
//   report each, so the owner re-reads the folder once instead of handling
//   each item and no report is dropped on the way;
// - a "folder contents changed" report repeated for the same folder keeps
//   only its first occurrence (the owner handles the reports of a read after
//   the whole read was sent, so the first re-read already sees all of it).
// A folded folder's report goes before the first report left as it was that
// names the folder or anything inside it, so that report meets the folder as
// it is now. A move between two folders stays a rename unless one of its
// folders is folded; then both folders are told as changed, since a rename
// whose source the owner never saw could not show the item at its new place.

#include "platform/changes/filewatch/PathChange.h"

#include <cstddef>
#include <string>
#include <vector>

namespace dw::platform {

// Views keep only a few reports waiting (the folder tree drops what finds
// more than five queued), so a read that would send more is folded.
inline constexpr std::size_t kDefaultReportBudget = 5;

struct ReportBudget {
    std::size_t maxReports = kDefaultReportBudget;
    // Folders whose items also have a second name (an item there is reported
    // once more under it): a change inside one counts twice, inside two
    // (nested) three times.
    std::vector<std::string> aliasFolders;
};

std::vector<PathChange> coalesceBurst(std::vector<PathChange> changes, const ReportBudget& budget = {});

} // namespace dw::platform
