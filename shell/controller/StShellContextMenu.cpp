// SPDX-License-Identifier: MIT
#include "shell/controller/StShellController.h"

#include "platform/contextmenu/QtShellUi.h"
#include "platform/namespace/ShellErrors.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/controller/StVolumeLineWait.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPoint>
#include <QPointer>

using namespace dw::platform;

namespace {

constexpr unsigned kFirstCommand = 1;
constexpr unsigned kLastCommand = 0x7FFF;

} // namespace

// The menu object and its entries, made on the items' volume line: a folder
// asks the disk what its children allow (may they be renamed, may the
// folder be written) before it can say which verbs work.
struct TStCustomShellController::GatheredMenu {
    std::vector<IdListPtr> relatives; // owned: the caller's may go while the disk is asked
    std::unique_ptr<IContextMenu> menu;
    std::vector<ContextMenuEntry> entries;
    bool answered = false; // read only on the window's thread, and only once answered
};

std::shared_ptr<TStCustomShellController::GatheredMenu>
TStCustomShellController::GatherMenu(const ShellFolderPtr& folder, const std::vector<const ItemIdList*>& relatives,
                                     unsigned flags)
{
    auto gathered = std::make_shared<GatheredMenu>();
    for (const ItemIdList* relative : relatives)
        gathered->relatives.emplace_back(ILClone(relative));
    const IdListPtr first(ILCombine(folder->AbsoluteIdList(), relatives.front()));
    const OffWindowOutcome outcome
        = RunOnVolumeLine(currentShellNamespace().volumeKeyOf(first.get()), [folder, gathered, flags] {
              std::vector<const ItemIdList*> ids;
              for (const IdListPtr& relative : gathered->relatives)
                  ids.push_back(relative.get());
              if (succeeded(folder->GetUIObjectOf(ids, gathered->menu)) && gathered->menu
                  && failed(gathered->menu->QueryContextMenu(gathered->entries, 0, kFirstCommand, kLastCommand, flags)))
                  gathered->entries.clear();
          }, m_volumePatience);
    gathered->answered = outcome == OffWindowOutcome::Done;
    return gathered;
}

void TStCustomShellController::SayUnreachable(const std::string& itemName, QWidget* window)
{
    QtShellUi widgets(window);
    IShellUi& ui = m_shellUi ? *m_shellUi : widgets;
    const std::string name = itemName.empty() ? std::string("The item") : "\"" + itemName + "\"";
    ui.showError("Context Menu", name + " cannot be reached. " + shellErrorText(E_NO_ANSWER));
}

int TStCustomShellController::RunPopupMenu(const std::vector<ContextMenuEntry>& entries, int x, int y,
                                           QWidget* window)
{
    // The window owns the menu while it is open. Should the window be
    // destroyed meanwhile (a handler closes it), the menu goes with it; the
    // guard sees that, and nothing of either is touched afterwards.
    const QPointer<QMenu> menu = new QMenu(window);
    for (const ContextMenuEntry& entry : entries) {
        if (entry.separator()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromStdString(entry.text));
        action->setData(entry.command);
        action->setEnabled(entry.enabled);
        if (entry.isDefault) {
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
        }
    }
    const QAction* chosen = menu->exec(QPoint(x, y));
    if (!menu)
        return 0;
    const int command = chosen ? chosen->data().toInt() : 0;
    menu->deleteLater(); // a menu without a window is ours alone
    return command;
}

int TStCustomShellController::ShowContextMenu(QWidget* control, IShellFolder& folder, QWidget* window, int x, int y,
                                              const std::vector<const ItemIdList*>& relatives,
                                              const TStContextMenuOptions& options)
{
    return ShowContextMenu(control, bindToFolder(folder.AbsoluteIdList()), window, x, y, relatives, options);
}

int TStCustomShellController::ShowContextMenu(QWidget*, ShellFolderPtr folder, QWidget* window, int x, int y,
                                              const std::vector<const ItemIdList*>& relatives,
                                              const TStContextMenuOptions& options)
{
    if (!folder || relatives.empty())
        return -1;
    unsigned flags = CMF_EXPLORE | (options.allowRename ? CMF_CANRENAME : 0);
    if (options.extendedMenu && (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier))
        flags |= CMF_EXTENDEDVERBS;
    const QPointer<QWidget> windowAlive(window);
    const QPointer<TStCustomShellController> controllerAlive(this);
    const std::shared_ptr<GatheredMenu> gathered = GatherMenu(folder, relatives, flags);
    // The window (and a tree with this controller in it) may have been
    // destroyed while the disk was asked or the menu was open: then
    // nothing more is shown or run for it.
    if (!controllerAlive || (window && !windowAlive))
        return 0;
    if (!gathered->answered) {
        SayUnreachable(options.itemName, window);
        return -1;
    }
    if (gathered->entries.empty())
        return -1;
    const int chosen = m_menuChooser ? m_menuChooser(gathered->entries)
                                     : RunPopupMenu(gathered->entries, x, y, window);
    if (!controllerAlive || (window && !windowAlive))
        return 0;
    if (chosen >= static_cast<int>(kFirstCommand)) {
        const std::chrono::milliseconds patience = m_volumePatience;
        QtShellUi widgets(window, [patience](const std::string& volumeKey, const std::function<void()>& work) {
            return RunOnVolumeLine(volumeKey, work, patience);
        });
        gathered->menu->InvokeCommand(static_cast<unsigned>(chosen) - kFirstCommand,
                                      m_shellUi ? *m_shellUi : widgets);
    }
    return chosen;
}
