// SPDX-License-Identifier: MIT
#pragma once
// One listing, start to end, on whatever thread runs it: binds the folder,
// reads its children with their facts, turns them into records and hands
// them on in batches.

#include "platform/listing/ListingRequest.h"

#include <atomic>
#include <functional>

namespace dw::platform {

class IShellNamespace;

using BatchSink = std::function<void(ListingBatch&& batch)>;

// Runs `request` against `space`; the last batch (possibly empty) carries
// the outcome. Stops early, without a last batch, once `cancelled` is set.
void runListing(const ListingRequest& request, IShellNamespace& space, const std::atomic<bool>* cancelled,
                const BatchSink& sink);

// The records of some children of the request's folder, as a listing would
// make them, asked of the folder child by child: for a view that learns of
// a few new or changed children and must not list the whole folder again.
// A child that is gone (its attributes cannot be read), or that the
// request's flags would not list (hidden, a folder), is left out. The
// records carry no sort keys: the view orders them as it orders the rest.
std::vector<ChildRecord> readChildRecords(const ListingRequest& request, IShellNamespace& space,
                                          const std::vector<IdListPtr>& relatives);

} // namespace dw::platform
