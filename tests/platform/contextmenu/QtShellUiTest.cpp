// SPDX-License-Identifier: MIT
#include "platform/contextmenu/QtShellUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

using namespace dw::platform;

namespace {

// Runs `answer` on the modal dialog once it is open.
template <typename Dialog, typename Answer>
void whenOpen(Answer answer)
{
    QTimer::singleShot(20, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

} // namespace

TEST(QtShellUi, AWindowDestroyedWhileAQuestionIsOpenCountsAsNo)
{
    QPointer<QWidget> window = new QWidget;
    window->show();
    QtShellUi ui(window);
    bool questionWasOpen = false;
    QTimer::singleShot(20, [&] {
        questionWasOpen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
        delete window.data(); // takes the box along
        if (QWidget* left = QApplication::activeModalWidget())
            left->close(); // a box that outlived its window
    });
    EXPECT_FALSE(ui.confirm("Delete", "Delete \"a.dw2\" for good?"));
    EXPECT_TRUE(questionWasOpen);
    // With the window gone, nothing more is shown and nothing is asked.
    std::string name = "New Folder";
    ui.showError("Rename", "Could not rename.");
    EXPECT_FALSE(ui.askText("New Folder", "Name:", name));
    EXPECT_EQ(name, "New Folder");
}

TEST(QtShellUi, AnsweredDialogsGiveTheirAnswers)
{
    QWidget window;
    window.show();
    QtShellUi ui(&window);
    whenOpen<QMessageBox>([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    EXPECT_TRUE(ui.confirm("Delete", "Delete?"));

    std::string name = "New Folder";
    whenOpen<QInputDialog>([](QInputDialog& dialog) {
        EXPECT_EQ(dialog.textValue(), "New Folder");
        dialog.setTextValue(QStringLiteral("Plans"));
        dialog.accept();
    });
    EXPECT_TRUE(ui.askText("New Folder", "Name:", name));
    EXPECT_EQ(name, "Plans");

    whenOpen<QInputDialog>([](QInputDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(ui.askText("New Folder", "Name:", name));
    EXPECT_EQ(name, "Plans");
}

TEST(QtShellUi, AnotherProgramIsAskedForAfterTheList)
{
    QWidget window;
    window.show();
    QtShellUi ui(&window);
    whenOpen<QInputDialog>([](QInputDialog& picker) {
        EXPECT_EQ(picker.comboBoxItems().back(), QString::fromUtf8("Other program…"));
        picker.setTextValue(picker.comboBoxItems().back());
        picker.accept();
        whenOpen<QInputDialog>([](QInputDialog& prompt) {
            prompt.setTextValue(QStringLiteral("viewer --plain"));
            prompt.accept();
        });
    });
    std::vector<std::string> command;
    EXPECT_TRUE(ui.chooseApplication("/cal/a b.dw2", command));
    EXPECT_EQ(command, (std::vector<std::string>{"viewer", "--plain", "/cal/a b.dw2"}));
}
