// SPDX-License-Identifier: MIT
#include "platform/contextmenu/QtShellUi.h"

#include "platform/contextmenu/DesktopApplications.h"
#include "platform/contextmenu/PropertiesDialog.h"
#include "platform/namespace/DisplayText.h"
#include "platform/namespace/ShellErrors.h"
#include "platform/namespace/ShellNamespace.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>

#include <optional>

namespace dw::platform {

namespace {

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

// Runs a modal dialog that its parent window owns. The window may be
// destroyed while the dialog is open (a handler closes it) and take the
// dialog along: then the answer is nothing, as for a cancelled dialog.
// Otherwise the dialog is deleted once its caller has read it.
template <typename Dialog>
std::optional<int> runOwned(const QPointer<Dialog>& dialog)
{
    const int result = dialog->exec();
    if (!dialog)
        return std::nullopt;
    dialog->deleteLater();
    return result;
}

std::string quoted(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos || slash + 1 == path.size() ? path : path.substr(slash + 1);
    return "\"" + displayTextFromBytes(name) + "\"";
}

// The programs that open a file of the type its name and contents tell.
struct ApplicationFacts {
    QString typeName;
    std::vector<DesktopApplication> applications;
};

QInputDialog* textDialog(QWidget* parent, const QString& title, const QString& label, const QString& text)
{
    auto* dialog = new QInputDialog(parent);
    dialog->setWindowTitle(title);
    dialog->setLabelText(label);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setTextValue(text);
    return dialog;
}

} // namespace

QtShellUi::QtShellUi(QWidget* parent, OffWindowRunner runner)
    : parent_(parent), hadParent_(parent != nullptr), runner_(std::move(runner))
{
}

OffWindowOutcome QtShellUi::runOffWindow(const std::string& volumeKey, const std::function<void()>& work)
{
    return runner_ ? runner_(volumeKey, work) : IShellUi::runOffWindow(volumeKey, work);
}

bool QtShellUi::windowGone() const
{
    return hadParent_ && !parent_;
}

bool QtShellUi::confirm(const std::string& title, const std::string& question)
{
    if (windowGone())
        return false;
    const QPointer<QMessageBox> box = new QMessageBox(QMessageBox::Question, q(title), q(question),
                                                      QMessageBox::Yes | QMessageBox::No, parent_);
    box->setDefaultButton(QMessageBox::No);
    return runOwned(box) == QMessageBox::Yes;
}

void QtShellUi::showError(const std::string& title, const std::string& message)
{
    if (windowGone())
        return;
    runOwned(QPointer<QMessageBox>(new QMessageBox(QMessageBox::Warning, q(title), q(message), QMessageBox::Ok,
                                                   parent_)));
}

bool QtShellUi::askText(const std::string& title, const std::string& label, std::string& text)
{
    if (windowGone())
        return false;
    const QPointer<QInputDialog> dialog = textDialog(parent_, q(title), q(label), q(text));
    if (runOwned(dialog) != QDialog::Accepted)
        return false;
    const QString answer = dialog->textValue();
    text = answer.toStdString();
    return !answer.isEmpty();
}

void QtShellUi::copyText(const std::string& text)
{
    QApplication::clipboard()->setText(QString::fromStdString(displayTextFromBytes(text)));
}

bool QtShellUi::chooseApplication(const std::string& path, std::vector<std::string>& command)
{
    if (windowGone())
        return false;
    // The type may be told by the file's first bytes: read on its volume.
    auto facts = std::make_shared<ApplicationFacts>();
    const auto outcome = runOffWindow(currentShellNamespace().volumeKeyOfParsingName(path), [facts, path] {
        const QString file = QFile::decodeName(QByteArray::fromStdString(path));
        facts->typeName = QMimeDatabase().mimeTypeForFile(file).name();
        facts->applications = applicationsFor(facts->typeName);
    });
    if (outcome != OffWindowOutcome::Done) {
        showError("Open With", "The programs for " + quoted(path) + " cannot be found. " + shellErrorText(E_NO_ANSWER));
        return false;
    }
    if (windowGone())
        return false;
    const std::vector<DesktopApplication>& applications = facts->applications;
    QStringList choices;
    for (const DesktopApplication& application : applications)
        choices << application.name;
    const QString other = QStringLiteral("Other program…");
    choices << other;
    const QString prompt = QStringLiteral("Open \"%1\" with:").arg(q(displayTextFromBytes(path)));
    const QPointer<QInputDialog> picker = textDialog(parent_, QStringLiteral("Open With"), prompt, choices.front());
    picker->setComboBoxItems(choices);
    picker->setComboBoxEditable(false);
    picker->setTextValue(choices.front());
    if (runOwned(picker) != QDialog::Accepted)
        return false;
    const QString choice = picker->textValue();
    for (const DesktopApplication& application : applications) {
        if (application.name == choice) {
            command = commandForFile(application.exec, path);
            return !command.empty();
        }
    }
    const QPointer<QInputDialog> prompted = textDialog(
        parent_, QStringLiteral("Open With"), QStringLiteral("Command (the file is added at the end):"), QString());
    if (runOwned(prompted) != QDialog::Accepted)
        return false;
    command = commandForFile(prompted->textValue(), path);
    return !command.empty();
}

void QtShellUi::showProperties(const std::vector<std::string>& paths)
{
    if (windowGone() || paths.empty())
        return;
    auto facts = std::make_shared<std::vector<ItemProperties>>();
    const auto outcome = runOffWindow(currentShellNamespace().volumeKeyOfParsingName(paths.front()), [facts, paths] {
        for (const std::string& path : paths)
            facts->push_back(readItemProperties(path));
    });
    if (outcome != OffWindowOutcome::Done) {
        showError("Properties",
                  "The properties of " + quoted(paths.front()) + " cannot be shown. " + shellErrorText(E_NO_ANSWER));
        return;
    }
    if (windowGone())
        return;
    runOwned(QPointer<PropertiesDialog>(new PropertiesDialog(*facts, parent_)));
}

} // namespace dw::platform
