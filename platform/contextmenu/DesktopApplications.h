// SPDX-License-Identifier: MIT
#pragma once
// The applications installed for the desktop (freedesktop desktop entries
// in the XDG data folders) that declare they open a given content type, and
// the argument vector that opens a file with one of them.

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace dw::platform {

struct DesktopApplication {
    QString name;        // Name=
    QString exec;        // Exec=, with its field codes
    QStringList mimeTypes;
};

// Reads one desktop entry's text; false when it is not a visible application
// with a command.
bool parseDesktopEntry(const QString& text, DesktopApplication& application);

// The applications for `mimeType` (or one of its parent types), by name.
std::vector<DesktopApplication> applicationsFor(const QString& mimeType);

// The argument vector that opens `path` with the command line `exec`: %f,
// %F, %u and %U become the path (a file URL for %u and %U), %% a "%", other
// field codes go; the path is added at the end when the command names none.
// Quoting follows the desktop-entry rules; no shell is involved.
std::vector<std::string> commandForFile(const QString& exec, const std::string& path);

} // namespace dw::platform
