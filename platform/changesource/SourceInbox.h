// SPDX-License-Identifier: MIT
#pragma once
// What other threads hand to the change source: the folders the namespace
// lists (listings run on worker threads), the news that registrations
// changed (any thread may register) and the folders of walked subtrees.
//
// Posting is safe from any thread at any time, also while the source is
// being destroyed: whoever posts holds the inbox, which outlives the source,
// and once the source has closed it, what comes is dropped. The source's
// watch tables are only ever touched on the source's own thread: mail posted
// there is handled at once (a registration made on that thread is watched
// before the call returns); mail from other threads waits here, and one
// queued call to the source's thread takes all that waits.

#include "platform/changes/FolderListing.h"
#include "platform/changesource/SubtreeWalker.h"

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QThread;

namespace dw::platform {

class SourceInbox : public std::enable_shared_from_this<SourceInbox> {
public:
    // A folder a view listed, with its modification time when the listing
    // began (-1: not known).
    struct ListedFolder {
        std::string path;
        std::int64_t modifiedNs = -1;
        std::optional<FolderListing> entries; // what the listing found, when it says
    };
    struct Mail {
        std::vector<ListedFolder> enumeratedFolders;
        bool registrationsChanged = false;
        std::vector<WalkedFolders> walked;
    };
    using Handler = std::function<void(Mail)>;

    // An inbox whose mail `handler` takes on the thread of `owner`.
    static std::shared_ptr<SourceInbox> open(QObject* owner, Handler handler);

    void postEnumerated(const std::string& folder, std::int64_t modifiedNs, std::optional<FolderListing> entries);
    void postRegistrationsChanged();
    void postWalked(WalkedFolders batch);

    // Drops what waits and whatever comes later. Called by the owner, on its
    // thread, before it goes.
    void close();

private:
    SourceInbox(QObject* owner, Handler handler);

    void post(Mail mail);
    void deliverWaiting();

    std::mutex lock_;
    QObject* owner_; // null once closed
    QThread* ownerThread_;
    Handler handler_;
    Mail waiting_;
    bool deliveryPosted_ = false;
};

} // namespace dw::platform
