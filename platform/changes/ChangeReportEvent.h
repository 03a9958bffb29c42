// SPDX-License-Identifier: MIT
#pragma once
// One report on its way to a registered window: owns copies of the report's
// lists for as long as it waits in the window's queue and while it is handled.

#include "platform/changes/ChangeNotify.h"
#include "platform/messagewindow/MessageEvent.h"

namespace dw::platform {

// What decides, when a report is about to be handled, whether it is still
// wanted (the lists are the report's own copies).
struct ChangeReportTicket {
    unsigned long registrationId;
    unsigned long lastIdAtPosting; // every registration made later had no copy of it
    WindowHandle window;
    unsigned message;
    int sourceLevel;
    long eventId;
    const ItemIdList* item1;
    const ItemIdList* item2;
};

class ChangeReportEvent : public MessageEvent {
public:
    explicit ChangeReportEvent(const ChangeReportTicket& ticket);

    WPARAM wParam() const override { return reinterpret_cast<WPARAM>(&lists_); }
    bool stillWanted() const override;

private:
    IdListPtr item1_;
    IdListPtr item2_;
    SHChangeNotifyLists lists_;
    ChangeReportTicket ticket_;
};

// True while the report's registration exists, or when a registration its
// window made after the report was posted wants it (defined with the
// registrations).
bool IsReportStillWanted(const ChangeReportTicket& ticket);

} // namespace dw::platform
