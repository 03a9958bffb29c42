// SPDX-License-Identifier: MIT
#include "shell/controller/StShellController.h"

#include "platform/contextmenu/QtShellUi.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPoint>
#include <QPointer>

using namespace dw::platform;

namespace {

constexpr unsigned kFirstCommand = 1;
constexpr unsigned kLastCommand = 0x7FFF;

} // namespace

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

int TStCustomShellController::ShowContextMenu(QWidget*, IShellFolder& folder, QWidget* window, int x, int y,
                                              const std::vector<const ItemIdList*>& relatives,
                                              const TStContextMenuOptions& options)
{
    std::unique_ptr<IContextMenu> menu;
    if (relatives.empty() || failed(folder.GetUIObjectOf(relatives, menu)) || !menu)
        return -1;
    unsigned flags = CMF_EXPLORE | (options.allowRename ? CMF_CANRENAME : 0);
    if (options.extendedMenu && (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier))
        flags |= CMF_EXTENDEDVERBS;
    std::vector<ContextMenuEntry> entries;
    if (failed(menu->QueryContextMenu(entries, 0, kFirstCommand, kLastCommand, flags)) || entries.empty())
        return -1;
    const QPointer<QWidget> windowAlive(window);
    const QPointer<TStCustomShellController> controllerAlive(this);
    const int chosen = m_menuChooser ? m_menuChooser(entries) : RunPopupMenu(entries, x, y, window);
    // The window (and a tree with this controller in it) may have been
    // destroyed while the menu was open: then nothing is run for it.
    if (!controllerAlive || (window && !windowAlive))
        return 0;
    if (chosen >= static_cast<int>(kFirstCommand)) {
        QtShellUi widgets(window);
        menu->InvokeCommand(static_cast<unsigned>(chosen) - kFirstCommand, m_shellUi ? *m_shellUi : widgets);
    }
    return chosen;
}
