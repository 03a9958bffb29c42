// SPDX-License-Identifier: MIT
#include "platform/changes/FolderListing.h"

#include <QThreadPool>

#include <memory>

namespace dw::platform {
namespace {

// Freeing a few thousand names costs less than handing them over.
constexpr std::size_t kFreedInPlace = 4096;

} // namespace

void releaseListing(FolderListing&& listing)
{
    if (listing.size() <= kFreedInPlace) {
        FolderListing().swap(listing);
        return;
    }
    // A folder of 100,000 entries takes tens of milliseconds to free, a
    // stall the window would show: it goes on a pool thread instead.
    auto held = std::make_shared<FolderListing>(std::move(listing));
    listing = FolderListing();
    QThreadPool::globalInstance()->start([held = std::move(held)]() mutable { held.reset(); });
}

} // namespace dw::platform
