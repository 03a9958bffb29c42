#pragma once
// Keeps a burst of changes small without changing what it means to the
// owner of a view:
// - a content or attribute change repeated for the same item with nothing
//   else happening to it in between is told once;
// - when one folder collects more than `threshold` changes in one batch (a
//   program unpacking 10,000 files), they are replaced by a single "folder
//   contents changed" report for that folder, placed where the last of them
//   was, so the owner re-reads the folder once instead of handling each item;
// - a "folder contents changed" report repeated for the same folder keeps
//   only its last occurrence.
// Renames between two folders are never folded: the owner needs both ends.

#include "platform/changes/filewatch/PathChange.h"

#include <cstddef>
#include <vector>

namespace dw::platform {

// Views keep only a few reports waiting (the folder tree drops what finds
// more than five queued), so a folder with more changes than this in one
// read is better told as changed as a whole.
inline constexpr std::size_t kDefaultBurstThreshold = 10;

std::vector<PathChange> coalesceBurst(std::vector<PathChange> changes,
                                      std::size_t threshold = kDefaultBurstThreshold);

} // namespace dw::platform
