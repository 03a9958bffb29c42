// SPDX-License-Identifier: MIT
#pragma once
// A listing of one node's children under way, and the nodes it has brought
// that are not shown yet: batches that come close together are shown
// together, so a folder of 100,000 entries is not laid out 400 times.

#include "platform/listing/ListingDelivery.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StCustomShellTreeView.h"
#include "shell/tree/StTreeNode.h"

#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

struct TStCustomShellTreeView::Listing {
    std::unique_ptr<dw::platform::ListingDelivery> delivery;
    std::function<void()> then; // once every child is in
    std::vector<std::pair<std::unique_ptr<TStTreeNode>, std::unique_ptr<TStShellFolder>>> pending;
    QElapsedTimer sinceShown;   // since pending nodes were last shown
    bool shownAny = false;
    bool flushScheduled = false;
    // More came than one step shows: the steps go on by the timer, and
    // what arrives meanwhile joins them rather than being shown at once
    // (two layouts of a big folder in one turn would stall the window).
    bool stepping = false;
    // A wait for a quick listing is under way: batches are shown together
    // when it is over.
    bool waiting = false;
    std::unique_ptr<dw::platform::ListingBatch> endedWith; // the last batch, once the listing is over
    // A re-read: the folders below to expand again once it is over. A re-read
    // of a folder above, begun before, takes them over with the nodes.
    std::shared_ptr<std::vector<dw::platform::IdListPtr>> expandAfter;
};
