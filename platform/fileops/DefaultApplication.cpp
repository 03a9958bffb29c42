// SPDX-License-Identifier: MIT
#include "platform/fileops/ProcessLauncher.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QString>
#include <QUrl>

namespace dw::platform {

namespace {

bool isValidUtf8(const std::string& bytes)
{
    const QString text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    return text.toStdString() == bytes;
}

} // namespace

bool openWithDefaultApplication(const std::string& path)
{
    // Qt's desktop services take text; a path that is not valid UTF-8 would
    // be changed on the way, so it goes to the desktop's opener as bytes.
    if (QGuiApplication::instance() && isValidUtf8(path)) {
        const QString text = QString::fromStdString(path);
        return QDesktopServices::openUrl(path.rfind('/', 0) == 0 ? QUrl::fromLocalFile(text) : QUrl(text));
    }
    return launchDetached({"xdg-open", path});
}

} // namespace dw::platform
