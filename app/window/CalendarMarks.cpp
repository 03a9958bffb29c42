// SPDX-License-Identifier: MIT
#include "app/window/CalendarMarks.h"

#include "app/convert/CalendarLayoutCheck.h"
#include "platform/listing/ListingProducer.h"
#include "platform/messagewindow/UiMailbox.h"

#include <chrono>

namespace dw::window {

using namespace dw::platform;

namespace {

// A piece ends after this many files or this long, whichever comes first,
// so that other work on the same disk waits no longer than that.
constexpr std::size_t kPieceFiles = 256;
constexpr auto kPieceTime = std::chrono::milliseconds(30);

CalendarMark markOf(convert::CalendarState state)
{
    switch (state) {
    case convert::CalendarState::NeedsConversion: return CalendarMark::NeedsConversion;
    case convert::CalendarState::UpToDate: return CalendarMark::UpToDate;
    case convert::CalendarState::Unreadable: return CalendarMark::Unreadable;
    }
    return CalendarMark::Unreadable;
}

} // namespace

TCalendarMarks::TCalendarMarks(std::string localFolder, std::string volumeKey,
                               std::vector<std::pair<int, std::string>> rows, MarksHandler onMarks, EndHandler onEnd,
                               QObject* parent)
    : QObject(parent)
    , m_localFolder(std::move(localFolder))
    , m_volumeKey(std::move(volumeKey))
    , m_rows(std::make_shared<const std::vector<std::pair<int, std::string>>>(std::move(rows)))
    , m_onMarks(std::move(onMarks))
    , m_onEnd(std::move(onEnd))
    , m_mailbox(UiMailbox::make(this))
{
}

TCalendarMarks::~TCalendarMarks()
{
    if (m_job)
        m_job->cancel();
    m_mailbox->close();
}

void TCalendarMarks::Start()
{
    if (Finished()) {
        if (m_onEnd)
            m_onEnd();
        return;
    }
    QueuePiece();
}

void TCalendarMarks::QueuePiece()
{
    const std::size_t from = m_next;
    m_job = ListingProducer::instance().run(
        m_volumeKey, [rows = m_rows, from, folder = m_localFolder, mailbox = m_mailbox,
                      self = this](const std::atomic<bool>& cancelled) {
            const auto started = std::chrono::steady_clock::now();
            auto marks = std::make_shared<Marks>();
            for (std::size_t at = from; at < rows->size() && !cancelled.load(std::memory_order_relaxed); ++at) {
                const auto& [row, name] = (*rows)[at];
                marks->emplace_back(row, markOf(convert::inspectCalendar(folder + name)));
                if (marks->size() >= kPieceFiles || std::chrono::steady_clock::now() - started >= kPieceTime)
                    break;
            }
            // `self` is used on its own thread only while the mailbox is
            // open, that is while it lives.
            mailbox->post([self, marks] { self->TakePiece(*marks); });
        });
}

void TCalendarMarks::TakePiece(const Marks& marks)
{
    m_next += marks.size();
    if (m_onMarks)
        m_onMarks(marks);
    if (!Finished()) {
        QueuePiece();
        return;
    }
    if (m_onEnd)
        m_onEnd();
}

} // namespace dw::window
