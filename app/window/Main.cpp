// SPDX-License-Identifier: MIT
#include "app/window/Main.h"

#include "app/window/CalendarBox.h"
#include "app/window/CalendarConversion.h"
#include "app/window/CalendarListing.h"
#include "app/window/CalendarMarks.h"
#include "app/window/CalendarNames.h"
#include "app/window/MainTexts.h"
#include "app/window/StatusPanel.h"
#include "base/application/SsExceptionBoundary.h"
#include "platform/listing/LineCall.h"
#include "platform/namespace/DisplayText.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StShellTreeView.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QShowEvent>
#include <QTimer>

#include <stdexcept>
#include <unordered_set>

namespace dw::window {

namespace {

// A small folder is listed before the window goes on, so that it shows
// complete at once; a slow one fills in as it comes.
constexpr auto kQuickListing = std::chrono::milliseconds(150);

void ShowMessageBox(QWidget* window, const QString& caption, const QString& text)
{
    // Centred on the window, which it keeps from input until it closes.
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, window);
    box.exec();
}

QString ApplicationTitle()
{
    return QGuiApplication::applicationDisplayName();
}

} // namespace

TForm1::TForm1(const app::StartupArgument& startPlace, QWidget* parent)
    : QWidget(parent), m_startPlace(startPlace), m_messageBox(ShowMessageBox)
{
    CreateControls();
    connect(SelectBtn, &QPushButton::clicked, this, [this] { SelectBtnClick(SelectBtn); });
    connect(ConvertBtn, &QPushButton::clicked, this, [this] { ConvertBtnClick(ConvertBtn); });
    FormCreate(this);
}

TForm1::~TForm1()
{
    // The tree may still report a selection while it goes; nothing here
    // wants to hear of it any more.
    ShellTree->OnFolderSelected = nullptr;
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow(this);
}

void TForm1::ShellTreeFolderSelected(QObject*, TStShellFolder* Folder)
{
    if (!Folder || IsTreesOwnStartPick(*Folder))
        return;
    m_noFolderChosen = false;
    ForgetStartPlace(); // the user has chosen: a start place that answers late opens nothing
    if (!Folder->IsFileSystem())
        return; // a virtual folder: the list and the status stay as they were
    m_currentFolder = withTrailingDelimiter(Folder->GetPath());
    const auto local = platform::localPathOfParsingName(m_currentFolder);
    m_localFolder = local ? withTrailingDelimiter(*local) : std::string();
    m_volumeKey = platform::sharedShellNamespace()->volumeKeyOf(Folder->GetAbsoluteIdList());
    RebuildList();
    ShowStatus();
    m_listing = std::make_unique<TCalendarListing>(
        Folder->GetAbsoluteIdList(),
        [this](std::vector<std::string>&& names) {
            // Rows are added in one insertion per batch, drawn once after it.
            CalendarBox->setUpdatesEnabled(false);
            CalendarBox->Items().Append(std::move(names));
            CalendarBox->setUpdatesEnabled(true);
        },
        [this] { ListingEnded(); }, this);
    m_listing->WaitFinished(kQuickListing);
}

void TForm1::RebuildList()
{
    m_marks.reset();
    m_listing.reset();
    CalendarBox->Items().Clear();
}

void TForm1::ListingEnded()
{
    // Ended from within its own last batch: it goes once that has returned
    // (or with the window).
    if (m_listing)
        m_listing.release()->deleteLater();
    SelectStartFile();
    StartMarks();
    ShowStatus();
}

void TForm1::SelectStartFile()
{
    if (m_startPlace.kind != app::StartupArgument::Kind::File
        || withTrailingDelimiter(m_startPlace.folder) != m_currentFolder)
        return;
    const std::string name = m_startPlace.fileName;
    m_startPlace = {}; // once only
    const int row = CalendarBox->Items().RowOf(name);
    if (row < 0)
        return;
    const QModelIndex index = CalendarBox->Items().index(row);
    CalendarBox->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    CalendarBox->scrollTo(index);
}

void TForm1::StartMarks()
{
    const TCalendarListModel& items = CalendarBox->Items();
    if (m_localFolder.empty() || items.Count() == 0)
        return;
    std::vector<std::pair<int, std::string>> rows;
    rows.reserve(std::size_t(items.Count()));
    for (int row = 0; row < items.Count(); ++row)
        rows.emplace_back(row, items.NameAt(row));
    m_marks = std::make_unique<TCalendarMarks>(
        m_localFolder, m_volumeKey, std::move(rows),
        [this](const TCalendarMarks::Marks& marks) { CalendarBox->Items().SetMarks(marks); },
        [this] { MarksEnded(); }, this);
    m_marks->Start();
}

void TForm1::MarksEnded()
{
    if (m_marks)
        m_marks.release()->deleteLater();
    ShowStatus();
}

void TForm1::ShowStatus()
{
    const TCalendarListModel& items = CalendarBox->Items();
    QString suffix;
    if (m_marks)
        suffix = checkingSuffix(items.Count());
    else if (!m_listing && items.CountWithMark(CalendarMark::Unchecked) == 0)
        suffix = needConvertingSuffix(items.CountWithMark(CalendarMark::NeedsConversion), items.Count());
    StatusPanel->SetCaption(platform::displayQStringFromBytes(m_currentFolder), suffix);
}

void TForm1::SelectBtnClick(QObject*)
{
    CalendarBox->SelectAll();
}

void TForm1::ConvertBtnClick(QObject*)
{
    if (m_conversion)
        return; // a click that waited while a run was on
    const TCalendarListModel& items = CalendarBox->Items();
    const std::vector<bool> selected = CalendarBox->SelectedRows();
    std::vector<std::string> names;
    for (int row = 0; row < items.Count(); ++row)
        if (selected[std::size_t(row)])
            names.push_back(items.NameAt(row));

    const std::string folder = m_currentFolder;
    TCalendarConversion::Outcome outcome;
    if (!names.empty()) {
        TCalendarConversion conversion(m_currentFolder, m_localFolder, m_volumeKey, std::move(names), this);
        conversion.SetProgressDelay(m_progressDelayMs);
        conversion.SetOptions(m_conversionOptions);
        m_conversion = &conversion;
        outcome = conversion.Run();
        m_conversion = nullptr;
    }
    if (m_currentFolder == folder) // else the tree moved on meanwhile (the folder went away)
        MarkWritten(outcome.writtenNames);
    if (m_closeAfterRun) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    if (outcome.failure) {
        // Shown as any handler's error, once this handler has returned, with
        // the calendars converted before it, which stay converted.
        const std::string text = TSsExceptionBoundary::ExceptionText(outcome.failure).toStdString() + "\n"
            + filesModifiedBeforeErrorText(outcome.filesWritten);
        QTimer::singleShot(0, this, [text] { throw std::runtime_error(text); });
        return;
    }
    m_messageBox(this, ApplicationTitle(), QString::fromStdString(convert::filesModifiedMessage(outcome.filesWritten)));
}

void TForm1::MarkWritten(const std::vector<std::string>& names)
{
    if (names.empty())
        return;
    const std::unordered_set<std::string> written(names.begin(), names.end());
    TCalendarMarks::Marks marks;
    const TCalendarListModel& items = CalendarBox->Items();
    for (int row = 0; row < items.Count(); ++row)
        if (written.count(items.NameAt(row)))
            marks.emplace_back(row, CalendarMark::UpToDate);
    CalendarBox->Items().SetMarks(marks);
    ShowStatus();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (m_conversion) {
        // The run stops after the file it is converting; the window closes
        // then.
        m_closeAfterRun = true;
        m_conversion->Cancel();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

std::vector<std::string> TForm1::ListedNames() const
{
    std::vector<std::string> names;
    const TCalendarListModel& items = CalendarBox->Items();
    for (int row = 0; row < items.Count(); ++row)
        names.push_back(items.NameAt(row));
    return names;
}

void TForm1::SetMessageBox(MessageBox box)
{
    m_messageBox = box ? std::move(box) : MessageBox(ShowMessageBox);
}

QProgressDialog* TForm1::ProgressDialog() const
{
    return m_conversion ? m_conversion->ProgressDialog() : nullptr;
}

} // namespace dw::window
