// SPDX-License-Identifier: MIT
#include "app/window/CalendarListing.h"

#include "app/window/CalendarNames.h"
#include "platform/listing/ListingDelivery.h"

namespace dw::window {

using namespace dw::platform;

TCalendarListing::TCalendarListing(const ItemIdList* absolute, NamesHandler onNames, EndHandler onEnd,
                                   QObject* parent)
    : QObject(parent), m_onNames(std::move(onNames)), m_onEnd(std::move(onEnd))
{
    ListingRequest request;
    request.folder = shareIdList(IdListPtr(ILClone(absolute)));
    // Files only (folders are never calendars), hidden ones too; the kind of
    // each entry comes with its facts, and no icons are needed.
    request.flags = SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;
    request.fileFacts = true;
    request.icons = false;
    m_delivery = std::make_unique<ListingDelivery>(std::move(request),
                                                   [this](ListingBatch&& batch) { TakeBatch(std::move(batch)); });
}

TCalendarListing::~TCalendarListing() = default;

bool TCalendarListing::WaitFinished(std::chrono::milliseconds patience)
{
    if (!m_finished)
        m_delivery->waitFinished(patience);
    return m_finished;
}

void TCalendarListing::TakeBatch(ListingBatch&& batch)
{
    std::vector<std::string> names;
    names.reserve(batch.records.size());
    for (const ChildRecord& record : batch.records)
        if (auto name = calendarNameOf(record))
            names.push_back(std::move(*name));
    const bool last = batch.last;
    m_finished = last;
    // Either handler may end this listing (a new folder chosen meanwhile).
    const EndHandler onEnd = m_onEnd;
    if (!names.empty() && m_onNames)
        m_onNames(std::move(names));
    if (last && onEnd)
        onEnd();
}

} // namespace dw::window
