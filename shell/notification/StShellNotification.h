// SPDX-License-Identifier: MIT
#pragma once
// Shell change notification component.
//
// TStCustomShellNotification registers a hidden message window for the
// shell's change reports about one watched folder (optionally its whole
// subtree), turns each report into shell items and hands them, on the UI
// thread, to one virtual handler per kind of change and to the general
// handler, each of which fires its event when one is assigned.
//
// Reports arrive as message kReportMessage (wParam: the two id lists, lParam:
// the event word). An attribute report is handled at once; every other one
// is queued, and the first report to make the queue non-empty posts
// kDrainMessage, whose handling empties the queue, report by report, in
// arrival order. With a queue limit L (0 = none) a report that finds more
// than L reports waiting is dropped (the comparison is signed: with a
// negative limit every report is dropped).
//
// Beyond the fixed set of handlers, and outside their order: the component
// counts the reports it drops and remembers the folders they concerned
// (StDroppedReports.h). Once the burst is over, when the queue has drained
// after a drop, it calls DoReportsDropped with those folders (or "all"),
// which fires OnReportsDropped, so that a view can read again what it shows
// of them. The record then starts afresh.
//
// A handler may destroy the component (a message box it shows runs an event
// loop in which the user may close the window): the component then stops
// at once and touches nothing of itself afterwards.

#include "base/component/SsComponent.h"
#include "base/containers/SsDQue.h"
#include "platform/changes/ChangeNotify.h"
#include "platform/messagewindow/MessageWindow.h"
#include "shell/notification/StDroppedReports.h"
#include "shell/notification/StNotificationItem.h"
#include "shell/notification/StNotifyEvents.h"
#include "shell/notification/StRootFolderKinds.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TStShellItem;
namespace dw::platform {
struct ShellListFunctionTable;
}

using TNotifyEvent = std::function<void(QObject* Sender)>;
using TStShellNotifyEvent1 = std::function<void(QObject* Sender, TStShellItem* ShellItem)>;
using TStShellNotifyEvent2 =
    std::function<void(QObject* Sender, TStShellItem* OldShellItem, TStShellItem* NewShellItem)>;
using TStShellNotifyEvent3 = std::function<void(QObject* Sender, TStShellItem* OldShellItem,
                                                TStShellItem* NewShellItem, TStNotifyEventsSet Events)>;
using TStShellNotifyEvent4 = std::function<void(QObject* Sender, std::uint32_t Drive)>;
// Folders: the absolute id lists of the folders the dropped reports
// concerned; All: they concerned everything (Folders is then empty).
using TStReportsDroppedEvent = std::function<void(QObject* Sender, const TStItemIdLists& Folders, bool All)>;

class TStCustomShellNotification : public TSsComponent {
    Q_OBJECT
public:
    static constexpr unsigned kReportMessage = dw::platform::WM_USER + 1; // 1025
    static constexpr unsigned kDrainMessage = dw::platform::WM_USER + 2;  // 1026

    explicit TStCustomShellNotification(QObject* owner = nullptr);
    ~TStCustomShellNotification() override;

    // Called after the component was read from a form description: registers
    // when Active and not yet registered. BeginLoading() marks the reading.
    void BeginLoading();
    virtual void Loaded();

    bool GetActive() const { return active_; }
    void SetActive(bool value);
    TStNotifyEventsSet GetNotifyEvents() const { return notifyEvents_; }
    void SetNotifyEvents(TStNotifyEventsSet value);
    const std::string& GetWatchFolder() const { return watchFolder_; }
    void SetWatchFolder(const std::string& path);
    TStSpecialRootFolder GetSpecialWatchFolder() const { return specialWatchFolder_; }
    void SetSpecialWatchFolder(TStSpecialRootFolder value);
    bool GetWatchSubFolders() const { return watchSubFolders_; }
    void SetWatchSubFolders(bool value);
    // The watched folder as an absolute id list; null stands for the desktop.
    const dw::platform::ItemIdList* GetWatchPidl() const { return watchPidl_.get(); }
    void SetWatchPidl(const dw::platform::ItemIdList* list);

    // Reports that may wait at most (0 = no limit); see the class comment.
    std::int32_t QueueLimit = 0;

    double ShellVersion() const { return shellVersion_; }
    bool IsRegistered() const { return registered_; }
    unsigned long RegistrationId() const { return registrationId_; }
    std::size_t PendingCount() const { return queue_.Count(); }
    // Reports dropped over the queue limit since the component was made.
    std::size_t DroppedReportCount() const { return droppedTotal_; }
    dw::platform::WindowHandle WindowHandle() const { return window_ ? window_->handle() : 0; }

    TNotifyEvent OnAssociationChange;
    TStShellNotifyEvent2 OnAttributeChange;
    TStShellNotifyEvent1 OnDriveAdd;
    TStShellNotifyEvent1 OnDriveRemove;
    TStShellNotifyEvent4 OnDriveSpaceChange;
    TStShellNotifyEvent1 OnFileChange;
    TStShellNotifyEvent1 OnFileCreate;
    TStShellNotifyEvent2 OnFileDelete;
    TStShellNotifyEvent2 OnFileRename;
    TStShellNotifyEvent1 OnFolderChange;
    TStShellNotifyEvent1 OnFolderCreate;
    TStShellNotifyEvent1 OnFolderDelete;
    TStShellNotifyEvent2 OnFolderRename;
    TNotifyEvent OnImageListChange;
    TStShellNotifyEvent1 OnMediaInsert;
    TStShellNotifyEvent1 OnMediaRemove;
    TStShellNotifyEvent1 OnNetShare;
    TStShellNotifyEvent1 OnNetUnShare;
    TStShellNotifyEvent1 OnServerDisconnect;
    TStShellNotifyEvent3 OnShellChangeNotify;
    TStShellNotifyEvent1 OnShellDriveAdd;
    TStReportsDroppedEvent OnReportsDropped;

protected:
    // One handler per kind of change, in this order; each fires its event.
    virtual void DoAssociationChange();
    virtual void DoAttributeChange(TStShellItem* item1, TStShellItem* item2);
    virtual void DoDriveAdd(TStShellItem* item1);
    virtual void DoDriveRemove(TStShellItem* item1);
    virtual void DoDriveSpaceChange(std::uint32_t drives);
    virtual void DoFileChange(TStShellItem* item1);
    virtual void DoFileCreate(TStShellItem* item1);
    virtual void DoFileDelete(TStShellItem* item1, TStShellItem* item2);
    virtual void DoFileRename(TStShellItem* item1, TStShellItem* item2);
    virtual void DoFolderChange(TStShellItem* item1);
    virtual void DoFolderCreate(TStShellItem* item1);
    virtual void DoFolderDelete(TStShellItem* item1);
    virtual void DoFolderRename(TStShellItem* item1, TStShellItem* item2);
    virtual void DoImageListChange();
    virtual void DoMediaInsert(TStShellItem* item1);
    virtual void DoMediaRemove(TStShellItem* item1);
    virtual void DoNetShare(TStShellItem* item1);
    virtual void DoNetUnShare(TStShellItem* item1);
    virtual void DoServerDisconnect(TStShellItem* item1);
    virtual void DoShellDriveAdd(TStShellItem* item1);
    // The general handler: once per report, with every kind found in it.
    virtual void DoShellChangeNotify(TStShellItem* item1, TStShellItem* item2, TStNotifyEventsSet events);
    // After a burst in which reports were dropped (see the class comment).
    virtual void DoReportsDropped(const TStItemIdLists& folders, bool all);

    // Turns a report's list into an item; null for an absent list.
    virtual std::unique_ptr<TStShellItem> MakeItem(const dw::platform::ItemIdList* absolute);
    // Asks the shell again for a medium's name and icon before its handler.
    virtual void RefreshMediaItem(TStShellItem& item);

    bool IsLoading() const { return loading_; }

private:
    dw::platform::LRESULT WindowProc(unsigned message, dw::platform::WPARAM wParam, dw::platform::LPARAM lParam);
    void ReceiveReport(const dw::platform::SHChangeNotifyLists& lists, long eventBits);
    void HandleAttributeReport(const dw::platform::SHChangeNotifyLists& lists);
    void DropReport(const dw::platform::SHChangeNotifyLists& lists, long eventBits);
    void DrainQueue();
    bool DispatchReport(const TStNotificationItem& report);
    void CallKindHandler(TStNotifyEvents member, TStShellItem* item1, TStShellItem* item2, std::uint32_t drives);
    void TellDroppedReports();
    void RegisterWatch();
    void DeregisterWatch();

    const dw::platform::ShellListFunctionTable* shell_ = nullptr;
    bool active_ = false;
    TStNotifyEventsSet notifyEvents_ = TStNotifyEventsSet::All();
    double shellVersion_ = 0;
    TStSpecialRootFolder specialWatchFolder_ = sfNone;
    std::string watchFolder_;
    dw::platform::IdListPtr watchPidl_; // null: the desktop
    bool watchSubFolders_ = false;
    std::unique_ptr<dw::platform::MessageWindow> window_;
    bool registered_ = false;
    unsigned long registrationId_ = 0;
    TStNotifyEventsSet currentEvents_;
    TStDQue<TStNotificationItem> queue_;
    TStDroppedReports dropped_;
    std::size_t droppedTotal_ = 0;
    bool loading_ = false;
};

// The published form: the properties a form description or a property
// editor sees.
class TStShellNotification : public TStCustomShellNotification {
    Q_OBJECT
    Q_PROPERTY(bool Active READ GetActive WRITE SetActive)
    Q_PROPERTY(uint NotifyEvents READ GetNotifyEventBits WRITE SetNotifyEventBits)
    Q_PROPERTY(int SpecialWatchFolder READ GetSpecialWatchFolderOrdinal WRITE SetSpecialWatchFolderOrdinal)
    Q_PROPERTY(QString WatchFolder READ GetWatchFolderText WRITE SetWatchFolderText)
    Q_PROPERTY(bool WatchSubFolders READ GetWatchSubFolders WRITE SetWatchSubFolders)
public:
    using TStCustomShellNotification::TStCustomShellNotification;

    uint GetNotifyEventBits() const { return GetNotifyEvents().Bits(); }
    void SetNotifyEventBits(uint bits) { SetNotifyEvents(TStNotifyEventsSet::FromBits(bits)); }
    int GetSpecialWatchFolderOrdinal() const { return GetSpecialWatchFolder(); }
    void SetSpecialWatchFolderOrdinal(int ordinal);
    // Paths keep their exact bytes: the text carries them as Latin-1.
    QString GetWatchFolderText() const { return QString::fromLatin1(GetWatchFolder()); }
    void SetWatchFolderText(const QString& path) { SetWatchFolder(path.toLatin1().toStdString()); }
};
