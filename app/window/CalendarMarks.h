// SPDX-License-Identifier: MIT
#pragma once
// Finds out, off the window's thread, which listed calendars are already in
// the 2.20 layout. The files are read on the line of their volume, a few at
// a time: between two pieces the line serves other work (the tree's
// listings of the same disk), and a piece's findings reach the window
// between other events. Destroying it stops the check after the file being
// read; nothing arrives after that.

#include "app/window/CalendarListModel.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dw::platform {
class ListingJob;
class UiMailbox;
} // namespace dw::platform

namespace dw::window {

class TCalendarMarks : public QObject {
public:
    using Marks = std::vector<std::pair<int, CalendarMark>>;
    using MarksHandler = std::function<void(const Marks& marks)>;
    using EndHandler = std::function<void()>;

    // Checks the calendars `rows` names (row, name) in `localFolder` (a
    // local path ending with "/"), on the line `volumeKey`.
    TCalendarMarks(std::string localFolder, std::string volumeKey, std::vector<std::pair<int, std::string>> rows,
                   MarksHandler onMarks, EndHandler onEnd, QObject* parent = nullptr);
    ~TCalendarMarks() override;

    void Start();
    bool Finished() const { return m_next >= m_rows->size(); }

private:
    void QueuePiece();
    void TakePiece(const Marks& marks);

    std::string m_localFolder;
    std::string m_volumeKey;
    std::shared_ptr<const std::vector<std::pair<int, std::string>>> m_rows;
    std::size_t m_next = 0;
    MarksHandler m_onMarks;
    EndHandler m_onEnd;
    std::shared_ptr<platform::UiMailbox> m_mailbox;
    std::shared_ptr<platform::ListingJob> m_job;
};

} // namespace dw::window
