// SPDX-License-Identifier: MIT
#pragma once
// What a transfer running on a worker thread shares with the window that
// shows its progress: how far it got, which item it is on, and whether the
// user asked it to stop. Either side may call anything at any time.
//
// Progress counts units: every byte of a regular file copied, plus
// kUnitsPerEntry for each entry made, so a folder of many small files
// moves the bar too.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace dw::platform {

inline constexpr std::uint64_t kUnitsPerEntry = 4096;

class TransferProgress {
public:
    struct Snapshot {
        std::uint64_t done = 0;
        std::uint64_t total = 0;
        std::size_t item = 0;       // 1-based number of the item in work, 0 before the first
        std::size_t itemCount = 0;
        std::string itemName;       // display text of the item in work
        bool measuring = false;     // still adding up what there is to do
    };

    void requestCancel() { cancel_.store(true); }
    bool cancelRequested() const { return cancel_.load(); }

    void setMeasuring(bool measuring);
    void setItemCount(std::size_t count);
    void addToTotal(std::uint64_t units);
    void startItem(std::size_t number, std::string name);
    void advance(std::uint64_t units) { done_.fetch_add(units); }

    Snapshot snapshot() const;

private:
    std::atomic<bool> cancel_{false};
    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::uint64_t> total_{0};
    mutable std::mutex mutex_;
    std::size_t item_ = 0;
    std::size_t itemCount_ = 0;
    std::string itemName_;
    bool measuring_ = false;
};

} // namespace dw::platform
