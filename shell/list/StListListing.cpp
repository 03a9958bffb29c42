// SPDX-License-Identifier: MIT
// Listing the shown folder through the listing producer: a quick listing
// is waited for, a slow one goes on in the background and its rows arrive
// in steps the window can paint between.

#include "shell/list/StCustomShellListView.h"

#include "shell/items/StShellFolder.h"
#include "shell/list/StListColumns.h"
#include "shell/list/StListListing.h"
#include "shell/list/StShellListModel.h"

#include <QApplication>
#include <QTimer>

using namespace dw::platform;

namespace {

// Records that come within this long of the last shown ones wait to be
// shown with the next: a view lays out every row each time rows come. Up to
// a folder of kSmallFolder rows everything goes at once; beyond, at most
// kMostShownAtOnce a turn, with a pause in between for paints and input.
constexpr qint64 kShowInterval = 100;
constexpr std::size_t kSmallFolder = 4096;
constexpr std::size_t kMostShownAtOnce = 2048;
constexpr int kPauseBetweenShows = 10;

const QString kLoading = QStringLiteral("Loading\u2026");

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

std::string_view BaseNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
}

} // namespace

void TStCustomShellListView::StartListing(bool reread)
{
    CancelListing();
    if (!m_folder)
        return;
    if (!reread)
        m_model->Clear();
    m_errorText.clear();
    m_listing = std::make_unique<Listing>();
    m_listing->serial = ++m_listingSerial;
    m_listing->reread = reread;
    m_listing->sinceShown.start();
    if (reread)
        m_model->BeginGeneration();
    Listing* started = m_listing.get();
    started->delivery = std::make_unique<ListingDelivery>(
        FolderRequest(), [this](ListingBatch&& batch) { TakeBatch(std::move(batch)); });
    if (!reread) {
        BusyCursor busy;
        if (started->delivery->waitFinished(kQuickListing, kFirstRowsAfter))
            return; // the rows are in place, as if read on the spot
    }
    if (m_listing.get() == started && m_model->rowCount() == 0 && !reread)
        SetStatusText(kLoading);
}

void TStCustomShellListView::CancelListing()
{
    m_listing.reset(); // its delivery cancels; nothing more arrives
}

// Records of a folder whose listing brings collation keys get one too when
// they come from elsewhere (a change read child by child), and lose theirs
// otherwise: every row must be ordered the same way.
void TStCustomShellListView::NormalizeKeys(std::vector<ChildRecord>& records) const
{
    for (ChildRecord& record : records) {
        if (!m_keyedNames)
            record.sortKey.reset();
        else if (!record.sortKey)
            record.sortKey = ChildSortKey(IsFolderRecord(record) ? 0 : 1, BaseNameOf(record.parsingName));
    }
}

void TStCustomShellListView::TakeBatch(ListingBatch&& batch)
{
    Listing& listing = *m_listing;
    if (!listing.reread && m_model->RecordCount() == 0 && listing.pending.empty() && !batch.records.empty())
        m_keyedNames = batch.records.front().sortKey.has_value();
    NormalizeKeys(batch.records);
    listing.pending.insert(listing.pending.end(), std::make_move_iterator(batch.records.begin()),
                           std::make_move_iterator(batch.records.end()));
    const bool due = !listing.stepping
        && (!listing.shownAny || batch.last || listing.sinceShown.elapsed() >= kShowInterval);
    if (due)
        ShowPending();
    else
        ScheduleShowing(kShowInterval);
    if (!m_listing)
        return; // a handler chose another folder
    if (batch.last) {
        if (m_listing->pending.empty())
            ListingEnded(batch);
        else // what still waits comes in the next turns; then the listing ends
            m_listing->endedWith = std::move(batch);
    }
}

void TStCustomShellListView::ShowPending()
{
    Listing& listing = *m_listing;
    auto& pending = listing.pending;
    const std::size_t shown = std::size_t(m_model->RecordCount());
    const std::size_t allowed = std::max(kMostShownAtOnce, shown < kSmallFolder ? kSmallFolder - shown : 0);
    const std::size_t count = std::min(pending.size(), allowed);
    std::vector<ChildRecord> now(std::make_move_iterator(pending.end() - std::ptrdiff_t(count)),
                                 std::make_move_iterator(pending.end()));
    pending.resize(pending.size() - count);
    listing.shownAny = true;
    listing.sinceShown.restart();
    listing.stepping = !pending.empty();
    if (!now.empty()) {
        if (!listing.reread)
            SetStatusText({});
        m_model->Merge(std::move(now));
    }
    if (m_listing && m_listing->stepping)
        ScheduleShowing(kPauseBetweenShows);
}

void TStCustomShellListView::ScheduleShowing(int delay)
{
    if (m_listing->flushScheduled)
        return;
    m_listing->flushScheduled = true;
    QTimer::singleShot(delay, this, [this, serial = m_listing->serial] {
        if (!m_listing || m_listing->serial != serial)
            return; // cancelled, or another listing took over
        m_listing->flushScheduled = false;
        ShowPending();
        if (m_listing && m_listing->pending.empty() && m_listing->endedWith) {
            const ListingBatch last = std::move(*m_listing->endedWith);
            ListingEnded(last);
        }
    });
}

void TStCustomShellListView::ListingEnded(const ListingBatch& last)
{
    const bool reread = m_listing->reread;
    const bool again = m_listing->changedMeanwhile;
    m_listing.reset(); // this runs inside its delivery, which allows it
    const bool readable = succeeded(last.result);
    if (reread && readable)
        m_model->RemoveUnstamped();
    m_errorText = readable ? QString() : QString::fromStdString(last.errorText);
    if (!readable)
        m_model->Clear(); // an unreadable folder is not an empty one: it says why
    SetStatusText(m_errorText);
    if (again && readable)
        StartListing(true);
}
