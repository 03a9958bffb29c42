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
// than L reports waiting is dropped.

#include "base/component/SsComponent.h"
#include "base/containers/SsDQue.h"
#include "platform/changes/ChangeNotify.h"
#include "platform/messagewindow/MessageWindow.h"
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

    // Turns a report's list into an item; null for an absent list.
    virtual std::unique_ptr<TStShellItem> MakeItem(const dw::platform::ItemIdList* absolute);
    // Asks the shell again for a medium's name and icon before its handler.
    virtual void RefreshMediaItem(TStShellItem& item);

    bool IsLoading() const { return loading_; }

private:
    dw::platform::LRESULT WindowProc(unsigned message, dw::platform::WPARAM wParam, dw::platform::LPARAM lParam);
    void ReceiveReport(const dw::platform::SHChangeNotifyLists& lists, long eventBits);
    void HandleAttributeReport(const dw::platform::SHChangeNotifyLists& lists);
    void DrainQueue();
    void DispatchReport(const TStNotificationItem& report);
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
