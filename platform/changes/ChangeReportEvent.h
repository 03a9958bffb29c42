#pragma once
// One report on its way to a registered window: owns copies of the report's
// lists for as long as it waits in the window's queue and while it is handled.

#include "platform/changes/ChangeNotify.h"
#include "platform/messagewindow/MessageEvent.h"

namespace dw::platform {

class ChangeReportEvent : public MessageEvent {
public:
    ChangeReportEvent(unsigned long registrationId, unsigned message, long eventId, const ItemIdList* item1,
                      const ItemIdList* item2);

    WPARAM wParam() const override { return reinterpret_cast<WPARAM>(&lists_); }
    bool stillWanted() const override;

private:
    unsigned long registrationId_;
    IdListPtr item1_;
    IdListPtr item2_;
    SHChangeNotifyLists lists_;
};

// True while the registration exists (defined with the registrations).
bool IsRegistrationLive(unsigned long id);

} // namespace dw::platform
