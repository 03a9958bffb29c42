// SPDX-License-Identifier: MIT
// The window's controls as its layout describes them, and the program as a
// user starts it.

#include "tests/app/window/WindowTestSupport.h"

#include "app/window/MainTexts.h"
#include "shell/tree/StShellTreeView.h"

#include <QProcess>

namespace window_testing {

TEST_F(WindowTest, TheControlsFollowTheLayout)
{
    openWindow();
    EXPECT_EQ(form->windowTitle(), "Datewright Converter 2.20");
    EXPECT_EQ(form->size(), QSize(640, 480));
    EXPECT_EQ(form->minimumSize(), QSize(640, 480));

    const std::vector<std::pair<QFrame*, int>> panels = {
        {form->TopPanel, 57}, {form->StatusPanel, 25}, {form->ButtonPanel, 41}};
    for (const auto& [panel, height] : panels) {
        EXPECT_EQ(panel->height(), height) << panel->objectName().toStdString();
        EXPECT_EQ(panel->frameShadow(), QFrame::Sunken) << panel->objectName().toStdString();
    }
    EXPECT_LT(form->TopPanel->y(), form->StatusPanel->y());
    EXPECT_LT(form->StatusPanel->y(), form->MainPanel->y());
    EXPECT_LT(form->MainPanel->y(), form->ButtonPanel->y());
    EXPECT_EQ(form->ButtonPanel->geometry().bottom(), form->height() - 1);

    EXPECT_EQ(form->Label1->text().toStdString(), dw::window::kIntroText);
    EXPECT_EQ(form->Label1->alignment(), Qt::AlignCenter);
    EXPECT_TRUE(form->Label1->wordWrap());
    EXPECT_LE(QFontMetrics(form->Label1->font()).height(), 16);
    EXPECT_GE(QFontMetrics(form->Label1->font()).height(), 14);

    TStShellTreeView& tree = *form->ShellTree;
    EXPECT_EQ(tree.width(), 310);
    EXPECT_EQ(tree.GetSpecialRootFolder(), sfDesktop);
    EXPECT_EQ(tree.GetStartInFolder(), "");
    EXPECT_EQ(tree.GetSpecialStartInFolder(), sfNone);
    EXPECT_EQ(tree.GetOptions(), (TStTreeOptions{toExpandTopNode, toShellMenu, toShowHidden}));
    EXPECT_FALSE(tree.GetFiltered());
    EXPECT_EQ(tree.GetCompressedColor(), QColor(0, 0, 255));
    EXPECT_EQ(tree.GetExpandInterval(), 2000);
    EXPECT_TRUE(tree.GetReadOnly());
    EXPECT_FALSE(tree.GetShowRoot());
    EXPECT_EQ(tree.indentation(), 19);
    EXPECT_EQ(form->Splitter1->handleWidth(), 5);
    EXPECT_FALSE(form->Splitter1->childrenCollapsible());
    EXPECT_EQ(form->CalendarBox->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(form->CalendarBox->GetItemHeight(), 13);

    EXPECT_EQ(form->SelectBtn->text(), "Select All");
    EXPECT_EQ(form->ConvertBtn->text(), "Convert Selected");
    EXPECT_EQ(form->SelectBtn->size(), QSize(113, 25));
    EXPECT_EQ(form->ConvertBtn->size(), QSize(113, 25));

    std::vector<QWidget*> order;
    QWidget* at = form->ShellTree;
    do {
        if (at->focusPolicy() & Qt::TabFocus)
            order.push_back(at);
        at = at->nextInFocusChain();
    } while (at != form->ShellTree && order.size() < 10);
    EXPECT_EQ(order, (std::vector<QWidget*>{form->ShellTree, form->CalendarBox, form->SelectBtn, form->ConvertBtn}));
}

namespace {

// Starts the program with `arguments` and answers the first line of its own
// on standard error (the toolkit may write there too); true in
// `stillRunning` when it then waited for the user (a box, or its window)
// instead of ending.
QString firstErrorLine(const QStringList& arguments, bool& stillRunning)
{
    QProcess program;
    program.setReadChannel(QProcess::StandardError);
    program.start(QStringLiteral(DATEWRIGHT_CONVERTER_PATH), arguments);
    QString line;
    while (line.isEmpty() && program.waitForReadyRead(10000)) {
        while (line.isEmpty() && program.canReadLine()) {
            const QString read = QString::fromUtf8(program.readLine());
            if (read.startsWith(QStringLiteral("datewright-converter:")))
                line = read;
        }
    }
    stillRunning = !program.waitForFinished(500);
    program.kill();
    program.waitForFinished(5000);
    return line;
}

} // namespace

TEST(DatewrightConverter, HelpNeedsNoDisplayAndABadArgumentIsShownInABoxToo)
{
    QProcess program;
    program.start(QStringLiteral(DATEWRIGHT_CONVERTER_PATH), {QStringLiteral("--help")});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(program.readAllStandardOutput().startsWith("Usage: datewright-converter [FOLDER | FILE.dw2]"));

    // A usage error: on standard error, then a box waits for the user (the
    // program then stops with status 2).
    bool waiting = false;
    EXPECT_TRUE(firstErrorLine({QStringLiteral("a"), QStringLiteral("b")}, waiting)
                    .startsWith(QStringLiteral("datewright-converter: give one folder or one calendar file")));
    EXPECT_TRUE(waiting);
    // A path that is not there is found once the window shows: it says so
    // and stays open, with no folder.
    waiting = false;
    EXPECT_EQ(firstErrorLine({QStringLiteral("/no/such/folder")}, waiting),
              QStringLiteral("datewright-converter: cannot open /no/such/folder: No such file or directory\n"));
    EXPECT_TRUE(waiting);
}

} // namespace window_testing
