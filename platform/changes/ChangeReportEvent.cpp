// SPDX-License-Identifier: MIT
#include "platform/changes/ChangeReportEvent.h"

namespace dw::platform {

ChangeReportEvent::ChangeReportEvent(const ChangeReportTicket& ticket)
    : MessageEvent(ticket.message, 0, static_cast<LPARAM>(ticket.eventId)),
      item1_(ILClone(ticket.item1)),
      item2_(ILClone(ticket.item2)),
      lists_{item1_.get(), item2_.get()},
      ticket_(ticket)
{
    ticket_.item1 = item1_.get();
    ticket_.item2 = item2_.get();
}

bool ChangeReportEvent::stillWanted() const
{
    return IsReportStillWanted(ticket_);
}

} // namespace dw::platform
