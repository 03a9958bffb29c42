// SPDX-License-Identifier: MIT
#pragma once
// Holds listings of a fake folder until the test lets them go, as a folder
// on a server that stopped answering holds them: a listing that reaches a
// closed gate waits inside the namespace, on whatever thread it runs.

#include <condition_variable>
#include <mutex>

namespace dw::platform::fake {

class ListingGate {
public:
    void close()
    {
        std::lock_guard lock(mutex_);
        open_ = false;
    }

    void open()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        passesLeft_ = -1;
        changed_.notify_all();
    }

    // Lets `count` more children through, then holds the listing there: a
    // folder whose server stops answering part-way.
    void openFor(int count)
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        passesLeft_ = count;
        changed_.notify_all();
    }

    // Called by the folder's listing before it hands out a child.
    void pass()
    {
        std::unique_lock lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_ && passesLeft_ != 0; });
        if (passesLeft_ > 0)
            --passesLeft_;
        --waiting_;
    }

    // Waits until `count` listings are held (a test's proof that one reached
    // the gate); false when that did not happen within `milliseconds`.
    bool waitForHeld(int count, int milliseconds)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                 [&] { return waiting_ >= count; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    int passesLeft_ = -1; // -1: no limit
    int waiting_ = 0;
};

} // namespace dw::platform::fake
