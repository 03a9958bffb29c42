// SPDX-License-Identifier: MIT
#include "app/window/MainTexts.h"

namespace dw::window {

namespace {

const QString kSeparator = QStringLiteral("   \u2014   ");

} // namespace

QString checkingSuffix(int listed)
{
    if (listed == 0)
        return {};
    return kSeparator
        + (listed == 1 ? QStringLiteral("checking 1 calendar\u2026")
                       : QStringLiteral("checking %1 calendars\u2026").arg(listed));
}

QString needConvertingSuffix(int needing, int listed)
{
    if (listed == 0)
        return {};
    return kSeparator
        + (listed == 1 ? QStringLiteral("%1 of 1 calendar needs converting").arg(needing)
                       : QStringLiteral("%1 of %2 calendars need converting").arg(needing).arg(listed));
}

QString waitingForDiskSuffix()
{
    return kSeparator + QStringLiteral("waiting for its disk to answer\u2026");
}

QString noAnswerSuffix()
{
    return kSeparator + QStringLiteral("cannot be reached: its disk does not answer (it opens if it does)");
}

std::string filesModifiedBeforeErrorText(int written)
{
    return "Files modified before the error: " + std::to_string(written);
}

} // namespace dw::window
