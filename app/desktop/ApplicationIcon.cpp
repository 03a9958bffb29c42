// SPDX-License-Identifier: MIT
#include "app/desktop/ApplicationIcon.h"

#include <QString>

namespace dw::desktop {

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

} // namespace

QIcon builtInApplicationIcon()
{
    QIcon icon;
    for (const int size : kSizes)
        icon.addFile(QStringLiteral(":/datewright-converter/icons/%1/datewright-converter.png").arg(size), QSize(size, size));
    return icon;
}

QIcon applicationIcon()
{
    // A theme may hold the icon only as an SVG, which Qt draws only with its
    // SVG plugin (libqt6svg6): such an icon is found but draws nothing.
    const QIcon themed = QIcon::fromTheme(QStringLiteral("datewright-converter"));
    if (!themed.isNull() && !themed.pixmap(32, 32).isNull())
        return themed;
    return builtInApplicationIcon();
}

} // namespace dw::desktop
