// SPDX-License-Identifier: MIT
// The context menu when its window is destroyed while the menu is open (a
// handler closes the window): nothing is freed twice, and no command runs
// for the window that is gone.

#include "shell/controller/StShellController.h"

#include "platform/fakenamespace/FakeNamespace.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace dw::platform;
using namespace dw::platform::fake;

namespace {

// Runs `act` once the popup menu is open: the menu opens when the disk has
// said what it offers, which takes a turn or two of the event loop.
void whenMenuOpens(std::function<void()> act)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
        if (!qobject_cast<QMenu*>(QApplication::activePopupWidget()))
            return;
        poll->stop();
        poll->deleteLater();
        act();
    });
    poll->start(10);
}

class ContextMenuLifetime : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeContextMenu::invokedVerbs().clear();
        file = ns->absoluteOf(ns->addFile(ns->desktop(), "a.dw2", "/a.dw2"));
        ASSERT_TRUE(succeeded(SHGetDesktopFolder(desktop)));
    }

    std::shared_ptr<FakeNamespace> ns = std::make_shared<FakeNamespace>();
    ScopedShellNamespace scope{ns};
    IdListPtr file;
    ShellFolderPtr desktop;
};

TEST_F(ContextMenuLifetime, TheWindowDestroyedWhileTheMenuIsOpenTakesTheMenuAlongOnce)
{
    // As in a folder tree: the window owns the controller that shows the menu.
    QPointer<QWidget> window = new QWidget;
    window->show();
    auto* controller = new TStCustomShellController(window);
    bool menuWasOpen = false;
    whenMenuOpens([&] {
        menuWasOpen = qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr;
        delete window.data();
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close(); // a menu that outlived its window

    });
    const int chosen = controller->ShowContextMenu(nullptr, *desktop, window, 10, 10,
                                                   {ILFindLastID(file.get())}, {});
    EXPECT_TRUE(menuWasOpen);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(chosen, 0);
    EXPECT_TRUE(FakeContextMenu::invokedVerbs().empty());
}

TEST_F(ContextMenuLifetime, NoCommandRunsForAWindowThatWentAwayMeanwhile)
{
    TStCustomShellController controller;
    QPointer<QWidget> window = new QWidget;
    controller.SetMenuChooser([&](const std::vector<ContextMenuEntry>&) {
        delete window.data(); // the user closed the window, then picked "Open"
        return 1;
    });
    EXPECT_EQ(controller.ShowContextMenu(nullptr, *desktop, window, 0, 0, {ILFindLastID(file.get())}, {}), 0);
    EXPECT_TRUE(FakeContextMenu::invokedVerbs().empty());
}

TEST_F(ContextMenuLifetime, AMenuClosedNormallyRunsTheChosenCommandAndIsFreed)
{
    QWidget window;
    window.show();
    TStCustomShellController controller;
    whenMenuOpens([] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        menu->setActiveAction(menu->actions().front());
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(menu, &enter);
    });
    EXPECT_EQ(controller.ShowContextMenu(nullptr, *desktop, &window, 10, 10, {ILFindLastID(file.get())}, {}), 1);
    EXPECT_EQ(FakeContextMenu::invokedVerbs(), (std::vector<unsigned>{0}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.findChildren<QMenu*>().isEmpty());
}

} // namespace
