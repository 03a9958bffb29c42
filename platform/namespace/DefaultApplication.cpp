#include "platform/namespace/LinuxShellNamespace.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

namespace dw::platform {

bool openWithDefaultApplication(const std::string& path)
{
    const QString text = QFile::decodeName(QByteArray::fromStdString(path));
    const QUrl url = path.rfind("/", 0) == 0 ? QUrl::fromLocalFile(text) : QUrl(text);
    if (QGuiApplication::instance())
        return QDesktopServices::openUrl(url);
    // Without a GUI application (command-line tools) Qt's desktop services
    // are not available; the desktop's opener takes the same argument vector.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString(QUrl::FullyEncoded)});
}

} // namespace dw::platform
