#include "platform/changes/ChangeReportEvent.h"

namespace dw::platform {

ChangeReportEvent::ChangeReportEvent(unsigned long registrationId, unsigned message, long eventId,
                                     const ItemIdList* item1, const ItemIdList* item2)
    : MessageEvent(message, 0, static_cast<LPARAM>(eventId)),
      registrationId_(registrationId),
      item1_(ILClone(item1)),
      item2_(ILClone(item2)),
      lists_{item1_.get(), item2_.get()}
{
}

bool ChangeReportEvent::stillWanted() const
{
    return IsRegistrationLive(registrationId_);
}

} // namespace dw::platform
