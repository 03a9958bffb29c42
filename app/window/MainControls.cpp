// SPDX-License-Identifier: MIT
// The main window's controls, as its layout describes them: from the top,
// the panel with the introduction, the status panel, the main panel with
// the folder tree, a splitter and the calendar list, and the button panel.

#include "app/window/Main.h"

#include "app/window/CalendarBox.h"
#include "app/window/MainTexts.h"
#include "app/window/StatusPanel.h"
#include "shell/tree/StShellTreeView.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>

namespace dw::window {

namespace {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
constexpr int kTopPanelHeight = 57;
constexpr int kStatusPanelHeight = 25;
constexpr int kButtonPanelHeight = 41;
constexpr int kButtonWidth = 113;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kLabelFontHeight = 16;
constexpr int kTreeWidth = 310;
constexpr int kSplitterWidth = 5;
constexpr int kTreeIndent = 19;
constexpr int kExpandInterval = 2000;
constexpr int kCalendarItemHeight = 13;

// A panel with a one-pixel bevel, as the layout's panels have.
QFrame* makePanel(const char* name, QFrame::Shadow bevel, QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | bevel);
    panel->setLineWidth(1);
    return panel;
}

// `font` at the size whose lines are `height` pixels high, ascent and
// descent together, as a font height counts on the platform the layout
// comes from.
QFont fontOfHeight(QFont font, int height)
{
    for (int pixels = height; pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() <= height)
            break;
    }
    return font;
}

QPushButton* makeButton(const char* name, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedSize(kButtonWidth, kButtonHeight);
    button->setAutoDefault(false);
    return button;
}

} // namespace

void TForm1::CreateControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kWindowCaption));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("datewright-converter")));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    TopPanel = makePanel("TopPanel", QFrame::Sunken, this);
    TopPanel->setFixedHeight(kTopPanelHeight);
    Label1 = new QLabel(QString::fromLatin1(kIntroText), TopPanel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Label1->setFont(fontOfHeight(Label1->font(), kLabelFontHeight));
    auto* topLayout = new QVBoxLayout(TopPanel);
    topLayout->setContentsMargins(8, 1, 8, 1);
    topLayout->addWidget(Label1);
    column->addWidget(TopPanel);

    StatusPanel = new TStatusPanel(this);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setFixedHeight(kStatusPanelHeight);
    column->addWidget(StatusPanel);

    MainPanel = makePanel("MainPanel", QFrame::Raised, this);
    auto* mainLayout = new QHBoxLayout(MainPanel);
    mainLayout->setContentsMargins(1, 1, 1, 1);
    Splitter1 = new QSplitter(Qt::Horizontal, MainPanel);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(kSplitterWidth);
    Splitter1->setChildrenCollapsible(false); // no snapping shut
    Splitter1->setOpaqueResize(true);
    ShellTree = new TStShellTreeView(Splitter1);
    ShellTree->setObjectName(QStringLiteral("ShellTree"));
    CalendarBox = new TCalendarBox(Splitter1);
    CalendarBox->setObjectName(QStringLiteral("CalendarBox"));
    CalendarBox->SetItemHeight(kCalendarItemHeight);
    Splitter1->addWidget(ShellTree);
    Splitter1->addWidget(CalendarBox);
    Splitter1->setStretchFactor(0, 0); // the list takes what the window gains
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kTreeWidth, kWindowWidth - kTreeWidth - kSplitterWidth});
    mainLayout->addWidget(Splitter1);
    column->addWidget(MainPanel, 1);

    ButtonPanel = makePanel("ButtonPanel", QFrame::Sunken, this);
    ButtonPanel->setFixedHeight(kButtonPanelHeight);
    SelectBtn = makeButton("SelectBtn", kSelectAllCaption, ButtonPanel);
    ConvertBtn = makeButton("ConvertBtn", kConvertSelectedCaption, ButtonPanel);
    auto* buttonRow = new QHBoxLayout(ButtonPanel);
    buttonRow->setContentsMargins(kButtonGap, 0, kButtonGap, 0);
    buttonRow->setSpacing(kButtonGap);
    buttonRow->addStretch(1);
    buttonRow->addWidget(SelectBtn);
    buttonRow->addWidget(ConvertBtn);
    column->addWidget(ButtonPanel);

    for (QWidget* panel : {static_cast<QWidget*>(TopPanel), static_cast<QWidget*>(StatusPanel),
                           static_cast<QWidget*>(MainPanel), static_cast<QWidget*>(ButtonPanel)})
        panel->setFocusPolicy(Qt::NoFocus);

    ConfigureShellTree();
    SetTabOrder();
    resize(kWindowWidth, kWindowHeight);
    setMinimumSize(kWindowWidth, kWindowHeight);
    CentreOnScreen();
}

void TForm1::ConfigureShellTree()
{
    ShellTree->BeginLoading();
    ShellTree->SetSpecialRootFolder(sfDesktop);
    ShellTree->SetStartInFolder(std::string());
    ShellTree->SetSpecialStartInFolder(sfNone);
    ShellTree->SetOptions({toExpandTopNode, toShellMenu, toShowHidden});
    ShellTree->SetFiltered(false);
    ShellTree->SetCompressedColor(QColor(0, 0, 255));
    ShellTree->SetExpandInterval(kExpandInterval);
    ShellTree->SetReadOnly(true);
    ShellTree->SetShowRoot(false);
    ShellTree->setIndentation(kTreeIndent);
    ShellTree->Loaded();
    ShellTree->OnFolderSelected = [this](QObject* sender, TStShellFolder* folder) {
        ShellTreeFolderSelected(sender, folder);
    };
}

void TForm1::SetTabOrder()
{
    setTabOrder(ShellTree, CalendarBox);
    setTabOrder(CalendarBox, SelectBtn);
    setTabOrder(SelectBtn, ConvertBtn);
}

void TForm1::CentreOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

} // namespace dw::window
