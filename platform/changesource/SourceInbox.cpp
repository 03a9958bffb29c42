// SPDX-License-Identifier: MIT
#include "platform/changesource/SourceInbox.h"

#include <QMetaObject>
#include <QThread>

#include <iterator>

namespace dw::platform {
namespace {

void merge(SourceInbox::Mail& into, SourceInbox::Mail from)
{
    into.enumeratedFolders.insert(into.enumeratedFolders.end(), std::make_move_iterator(from.enumeratedFolders.begin()),
                                  std::make_move_iterator(from.enumeratedFolders.end()));
    into.registrationsChanged = into.registrationsChanged || from.registrationsChanged;
    into.walked.insert(into.walked.end(), std::make_move_iterator(from.walked.begin()),
                       std::make_move_iterator(from.walked.end()));
}

} // namespace

std::shared_ptr<SourceInbox> SourceInbox::open(QObject* owner, Handler handler)
{
    return std::shared_ptr<SourceInbox>(new SourceInbox(owner, std::move(handler)));
}

SourceInbox::SourceInbox(QObject* owner, Handler handler)
    : owner_(owner), ownerThread_(owner->thread()), handler_(std::move(handler))
{
}

void SourceInbox::postEnumerated(const std::string& folder, std::int64_t modifiedNs,
                                 std::optional<FolderListing> entries)
{
    Mail mail;
    mail.enumeratedFolders.push_back({folder, modifiedNs, std::move(entries)});
    post(std::move(mail));
}

void SourceInbox::postRegistrationsChanged()
{
    Mail mail;
    mail.registrationsChanged = true;
    post(std::move(mail));
}

void SourceInbox::postWalked(WalkedFolders batch)
{
    Mail mail;
    mail.walked.push_back(std::move(batch));
    post(std::move(mail));
}

void SourceInbox::close()
{
    std::lock_guard guard(lock_);
    owner_ = nullptr;
    waiting_ = {};
}

void SourceInbox::post(Mail mail)
{
    {
        std::lock_guard guard(lock_);
        if (owner_ == nullptr)
            return;
        if (QThread::currentThread() != ownerThread_) {
            merge(waiting_, std::move(mail));
            if (!deliveryPosted_) {
                // Posted under the lock: the owner closes the inbox under it
                // before it goes, so it is still there to receive the call,
                // and a call still queued when it goes is dropped with it.
                deliveryPosted_ = true;
                QMetaObject::invokeMethod(
                    owner_, [inbox = shared_from_this()] { inbox->deliverWaiting(); }, Qt::QueuedConnection);
            }
            return;
        }
    }
    // On the owner's thread, which alone closes the inbox: still open.
    handler_(std::move(mail));
}

void SourceInbox::deliverWaiting()
{
    Mail mail;
    {
        std::lock_guard guard(lock_);
        if (owner_ == nullptr)
            return;
        mail = std::move(waiting_);
        waiting_ = {};
        deliveryPosted_ = false;
    }
    handler_(std::move(mail));
}

} // namespace dw::platform
