// SPDX-License-Identifier: MIT
#include "shell/items/StFileDate.h"

#include <QDateTime>
#include <QTimeZone>

namespace {

const QDate kDateTimeEpoch(1899, 12, 30);

double DateTimeNumber(const QDate& date, const QTime& time)
{
    return static_cast<double>(kDateTimeEpoch.daysTo(date)) + time.msecsSinceStartOfDay() / 86400000.0;
}

} // namespace

std::uint32_t PackedFileDateFromUnixTime(std::int64_t secondsSinceEpoch)
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime);
    const QDate date = local.date();
    const QTime time = local.time();
    if (!date.isValid() || date.year() < 1980 || date.year() > 2107)
        return 0;
    const std::uint32_t packedDate = static_cast<std::uint32_t>(((date.year() - 1980) << 9) | (date.month() << 5)
                                                                | date.day());
    const std::uint32_t packedTime = static_cast<std::uint32_t>((time.hour() << 11) | (time.minute() << 5)
                                                                | (time.second() / 2));
    return (packedDate << 16) | packedTime;
}

double DateTimeFromPackedFileDate(std::uint32_t fileDate)
{
    const unsigned packedDate = fileDate >> 16;
    const unsigned packedTime = fileDate & 0xFFFF;
    const QDate date(static_cast<int>(packedDate >> 9) + 1980, static_cast<int>((packedDate >> 5) & 0xF),
                     static_cast<int>(packedDate & 0x1F));
    const QTime time(static_cast<int>(packedTime >> 11), static_cast<int>((packedTime >> 5) & 0x3F),
                     static_cast<int>((packedTime & 0x1F) * 2));
    if (fileDate == 0 || !date.isValid() || !time.isValid())
        return 0;
    return DateTimeNumber(date, time);
}

double DateTimeFromUnixTime(std::int64_t secondsSinceEpoch)
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime);
    return DateTimeNumber(local.date(), local.time());
}
