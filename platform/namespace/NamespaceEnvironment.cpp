// SPDX-License-Identifier: MIT
#include "platform/namespace/NamespaceEnvironment.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace dw::platform {

namespace {

std::string encoded(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString configHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

// The value of one line `XDG_NAME_DIR="$HOME/..."` with the quotes removed
// and $HOME expanded.
QString userDirValue(const QString& line, const QString& key)
{
    const QString prefix = key + QLatin1Char('=');
    if (!line.startsWith(prefix))
        return {};
    QString value = line.mid(prefix.size()).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    if (value.startsWith(QLatin1String("$HOME")))
        value.replace(0, 5, QDir::homePath());
    return value.startsWith(QLatin1Char('/')) ? value : QString();
}

bool isAbsolute(const char* path)
{
    return path && path[0] == '/';
}

std::string accountHome()
{
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return isAbsolute(found->pw_dir) ? std::string(found->pw_dir) : std::string();
}

std::string homeFolder()
{
    const char* home = std::getenv("HOME");
    return isAbsolute(home) ? std::string(home) : accountHome();
}

} // namespace

std::string dataHomePath()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (isAbsolute(dataHome))
        return dataHome;
    const std::string home = homeFolder();
    if (home.empty())
        return {};
    return (home == "/" ? std::string() : home) + "/.local/share";
}

std::string homeTrashPath()
{
    const std::string dataHome = dataHomePath();
    return dataHome.empty() ? std::string() : dataHome + "/Trash";
}

std::string xdgUserDir(const std::string& name, const std::string& fallback)
{
    QFile file(configHome() + QLatin1String("/user-dirs.dirs"));
    const QString key = QStringLiteral("XDG_%1_DIR").arg(QString::fromStdString(name));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QString value = userDirValue(in.readLine().trimmed(), key);
            if (!value.isEmpty())
                return encoded(QDir::cleanPath(value));
        }
    }
    return encoded(QDir::homePath()) + "/" + fallback;
}

NamespaceEnvironment NamespaceEnvironment::fromSystem()
{
    NamespaceEnvironment environment;
    environment.homePath = encoded(QDir::homePath());
    environment.desktopPath = encoded(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    environment.trashPath = homeTrashPath();
    environment.mountTablePath = "/proc/self/mounts";
    environment.sysBlockPath = "/sys/block";
    return environment;
}

} // namespace dw::platform
