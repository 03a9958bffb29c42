#include "platform/contextmenu/QtShellUi.h"

#include "platform/contextmenu/DesktopApplications.h"
#include "platform/contextmenu/PropertiesDialog.h"
#include "platform/namespace/DisplayText.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>

namespace dw::platform {

namespace {

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

bool QtShellUi::confirm(const std::string& title, const std::string& question)
{
    return QMessageBox::question(parent_, q(title), q(question), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
        == QMessageBox::Yes;
}

void QtShellUi::showError(const std::string& title, const std::string& message)
{
    QMessageBox::warning(parent_, q(title), q(message));
}

bool QtShellUi::askText(const std::string& title, const std::string& label, std::string& text)
{
    bool accepted = false;
    const QString answer = QInputDialog::getText(parent_, q(title), q(label), QLineEdit::Normal, q(text), &accepted);
    if (accepted)
        text = answer.toStdString();
    return accepted && !answer.isEmpty();
}

void QtShellUi::copyText(const std::string& text)
{
    QApplication::clipboard()->setText(QString::fromStdString(displayTextFromBytes(text)));
}

bool QtShellUi::chooseApplication(const std::string& path, std::vector<std::string>& command)
{
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    const QMimeType type = QMimeDatabase().mimeTypeForFile(file);
    const std::vector<DesktopApplication> applications = applicationsFor(type.name());
    QStringList choices;
    for (const DesktopApplication& application : applications)
        choices << application.name;
    const QString other = QStringLiteral("Other program…");
    choices << other;
    bool accepted = false;
    const QString prompt = QStringLiteral("Open \"%1\" with:").arg(q(displayTextFromBytes(path)));
    const QString choice = QInputDialog::getItem(parent_, QStringLiteral("Open With"), prompt, choices, 0, false,
                                                 &accepted);
    if (!accepted)
        return false;
    for (const DesktopApplication& application : applications) {
        if (application.name == choice) {
            command = commandForFile(application.exec, path);
            return !command.empty();
        }
    }
    const QString line = QInputDialog::getText(parent_, QStringLiteral("Open With"),
                                               QStringLiteral("Command (the file is added at the end):"),
                                               QLineEdit::Normal, QString(), &accepted);
    command = commandForFile(line, path);
    return accepted && !command.empty();
}

void QtShellUi::showProperties(const std::vector<std::string>& paths)
{
    PropertiesDialog dialog(paths, parent_);
    dialog.exec();
}

} // namespace dw::platform
