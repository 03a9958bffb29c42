// SPDX-License-Identifier: MIT
#include "platform/contextmenu/DesktopApplications.h"

#include "platform/namespace/DisplayText.h"

#include <QDirIterator>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

namespace dw::platform {

namespace {

QString entryValue(const QString& line, const QString& key)
{
    const QString prefix = key + QLatin1Char('=');
    return line.startsWith(prefix) ? line.mid(prefix.size()).trimmed() : QString();
}

QSet<QString> typeAndParents(const QString& mimeType)
{
    static const QMimeDatabase database;
    QSet<QString> names{mimeType};
    const QMimeType type = database.mimeTypeForName(mimeType);
    if (type.isValid()) {
        names.insert(type.name());
        for (const QString& parent : type.allAncestors())
            names.insert(parent);
    }
    return names;
}

} // namespace

bool parseDesktopEntry(const QString& text, DesktopApplication& application)
{
    bool inMainGroup = false;
    bool hidden = false;
    QString type;
    for (const QString& rawLine : text.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup)
            continue;
        if (const QString value = entryValue(line, QStringLiteral("Name")); !value.isEmpty())
            application.name = value;
        else if (const QString exec = entryValue(line, QStringLiteral("Exec")); !exec.isEmpty())
            application.exec = exec;
        else if (const QString types = entryValue(line, QStringLiteral("MimeType")); !types.isEmpty())
            application.mimeTypes = types.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        else if (const QString kind = entryValue(line, QStringLiteral("Type")); !kind.isEmpty())
            type = kind;
        else if (entryValue(line, QStringLiteral("NoDisplay")) == QLatin1String("true")
                 || entryValue(line, QStringLiteral("Hidden")) == QLatin1String("true"))
            hidden = true;
    }
    return type == QLatin1String("Application") && !hidden && !application.name.isEmpty()
        && !application.exec.isEmpty();
}

std::vector<DesktopApplication> applicationsFor(const QString& mimeType)
{
    const QSet<QString> wanted = typeAndParents(mimeType);
    std::vector<DesktopApplication> found;
    QSet<QString> seenIds; // a user's entry hides the system's of the same id
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        QDirIterator entries(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QString path = entries.next();
            const QString id = path.mid(folder.size());
            if (seenIds.contains(id))
                continue;
            seenIds.insert(id);
            QFile file(path);
            DesktopApplication application;
            if (!file.open(QIODevice::ReadOnly) || !parseDesktopEntry(QString::fromUtf8(file.readAll()), application))
                continue;
            const bool opens = std::any_of(application.mimeTypes.begin(), application.mimeTypes.end(),
                                           [&](const QString& type) { return wanted.contains(type); });
            if (opens)
                found.push_back(std::move(application));
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.name.localeAwareCompare(b.name) < 0;
    });
    return found;
}

std::vector<std::string> commandForFile(const QString& exec, const std::string& path)
{
    std::vector<std::string> command;
    bool namedFile = false;
    for (const QString& word : QProcess::splitCommand(exec)) {
        if (word == QLatin1String("%f") || word == QLatin1String("%F")) {
            command.push_back(path);
            namedFile = true;
        } else if (word == QLatin1String("%u") || word == QLatin1String("%U")) {
            command.push_back("file://" + percentEncode(path)); // every byte kept, escaped
            namedFile = true;
        } else if (word.size() == 2 && word.front() == QLatin1Char('%') && word != QLatin1String("%%")) {
            continue; // %i, %c, %k and the deprecated codes
        } else {
            QString plain = word;
            plain.replace(QLatin1String("%%"), QLatin1String("%"));
            command.push_back(plain.toStdString());
        }
    }
    if (!namedFile && !command.empty())
        command.push_back(path);
    return command;
}

} // namespace dw::platform
