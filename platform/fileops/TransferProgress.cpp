// SPDX-License-Identifier: MIT
#include "platform/fileops/TransferProgress.h"

namespace dw::platform {

void TransferProgress::setMeasuring(bool measuring)
{
    std::lock_guard lock(mutex_);
    measuring_ = measuring;
}

void TransferProgress::setItemCount(std::size_t count)
{
    std::lock_guard lock(mutex_);
    itemCount_ = count;
}

void TransferProgress::addToTotal(std::uint64_t units)
{
    total_.fetch_add(units);
}

void TransferProgress::startItem(std::size_t number, std::string name)
{
    std::lock_guard lock(mutex_);
    item_ = number;
    itemName_ = std::move(name);
}

TransferProgress::Snapshot TransferProgress::snapshot() const
{
    Snapshot now;
    now.done = done_.load();
    now.total = total_.load();
    std::lock_guard lock(mutex_);
    now.item = item_;
    now.itemCount = itemCount_;
    now.itemName = itemName_;
    now.measuring = measuring_;
    return now;
}

} // namespace dw::platform
