// SPDX-License-Identifier: MIT
#pragma once
// Lists the calendars of one folder off the window's thread. The folder's
// entries are read by the listing producer on the line of its volume (a
// server that stopped answering holds up nothing but that line); the names
// of its calendars come back in batches, in the order the file system gave
// them, between other events. Destroying it cancels the listing: nothing
// arrives after that.

#include "platform/idlist/IdList.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dw::platform {
class ListingDelivery;
struct ListingBatch;
} // namespace dw::platform

namespace dw::window {

class TCalendarListing : public QObject {
public:
    using NamesHandler = std::function<void(std::vector<std::string>&& names)>;
    using EndHandler = std::function<void()>;

    // Starts listing the folder `absolute` names. `onNames` gets each batch
    // of calendar names; `onEnd` runs once after the last one, also when
    // the folder could not be read (the list then simply stays as it is).
    TCalendarListing(const platform::ItemIdList* absolute, NamesHandler onNames, EndHandler onEnd,
                     QObject* parent = nullptr);
    ~TCalendarListing() override;

    // Waits up to `patience` for a quick listing, so that a small folder
    // shows complete at once; true when it has ended.
    bool WaitFinished(std::chrono::milliseconds patience);
    bool Finished() const { return m_finished; }

private:
    void TakeBatch(platform::ListingBatch&& batch);

    NamesHandler m_onNames;
    EndHandler m_onEnd;
    std::unique_ptr<platform::ListingDelivery> m_delivery;
    bool m_finished = false;
};

} // namespace dw::window
