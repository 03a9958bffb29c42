#include "platform/contextmenu/QtShellUi.h"

#include "platform/contextmenu/PropertiesDialog.h"
#include "platform/namespace/DisplayText.h"

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QMessageBox>
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
    bool accepted = false;
    const QString line = QInputDialog::getText(
        parent_, QStringLiteral("Open With"),
        QStringLiteral("Program to open \"%1\" with:").arg(q(displayTextFromBytes(path))), QLineEdit::Normal,
        QString(), &accepted);
    // Split into words the way a command line is, without running a shell.
    const QStringList words = QProcess::splitCommand(line);
    if (!accepted || words.isEmpty())
        return false;
    command.clear();
    for (const QString& word : words)
        command.push_back(word.toStdString());
    return true;
}

void QtShellUi::showProperties(const std::vector<std::string>& paths)
{
    PropertiesDialog dialog(paths, parent_);
    dialog.exec();
}

} // namespace dw::platform
