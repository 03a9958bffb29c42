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

} // namespace dw::platform
