// SPDX-License-Identifier: MIT
#pragma once
// A listing of the shown folder under way, and the records it brought that
// are not shown yet: batches that come close together are shown together,
// and a big folder is shown in steps, so that the view is not laid out for
// every batch and the window keeps painting and answering.

#include "platform/listing/ListingDelivery.h"
#include "shell/list/StCustomShellListView.h"

#include <QElapsedTimer>

#include <memory>
#include <optional>
#include <vector>

struct TStCustomShellListView::Listing {
    std::uint64_t serial = 0; // tells a timer of this listing from one of a later listing
    std::unique_ptr<dw::platform::ListingDelivery> delivery;
    std::vector<dw::platform::ChildRecord> pending;
    QElapsedTimer sinceShown;
    bool shownAny = false;
    bool flushScheduled = false;
    // More came than one step shows: the rest follows by the timer, and
    // what arrives meanwhile joins it.
    bool stepping = false;
    // A re-read of the folder shown: what it brings is merged with the rows
    // there, and rows it does not bring go at its end.
    bool reread = false;
    // A change came while it ran: it may have read past it, so the folder
    // is read again once it ends.
    bool changedMeanwhile = false;
    std::optional<dw::platform::ListingBatch> endedWith;
};
