// SPDX-License-Identifier: MIT
#include "shell/list/StListColumns.h"

#include "base/exceptions/SsConst.h"
#include "platform/fileinfo/FileTypes.h"
#include "shell/items/StShellItem.h"
#include "shell/list/StListOptions.h"

#include <QDateTime>
#include <QLocale>

using namespace dw::platform;

namespace {

struct LetterBit {
    char letter;
    std::uint32_t findBit;  // FILE_ATTRIBUTE_* of the find data
    SfgaoFlags shellBit;    // what answers for items without find data
};

constexpr LetterBit kFindLetters[] = {
    {'H', FILE_ATTRIBUTE_HIDDEN, SFGAO_HIDDEN},       {'S', FILE_ATTRIBUTE_SYSTEM, 0},
    {'R', FILE_ATTRIBUTE_READONLY, SFGAO_READONLY},   {'C', FILE_ATTRIBUTE_COMPRESSED, SFGAO_COMPRESSED},
    {'A', FILE_ATTRIBUTE_ARCHIVE, 0},
};

QString MessageText(int code)
{
    return QString::fromUtf8(SsMessageText(code).data(), qsizetype(SsMessageText(code).size()));
}

// KDE counts in powers of 1024 and says so (KiB); the other desktops count
// in powers of 1000 (kB).
QLocale::DataSizeFormats DesktopSizeFormat()
{
    static const bool binary = qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String("KDE"),
                                                                                   Qt::CaseInsensitive);
    return binary ? QLocale::DataSizeIecFormat : QLocale::DataSizeSIFormat;
}

} // namespace

QString ListColumnCaption(int column)
{
    return column >= 0 && column < kListColumnCount ? MessageText(ssscColumnName + column) : QString();
}

QString SizeText(std::uint64_t bytes)
{
    return QLocale().formattedDataSize(qint64(bytes), 1, DesktopSizeFormat());
}

QString ExactSizeText(std::uint64_t bytes)
{
    return QLocale().toString(qulonglong(bytes)) + QStringLiteral(" bytes");
}

QString ModifiedText(std::int64_t secondsSinceEpoch)
{
    return QLocale().toString(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch), QLocale::ShortFormat);
}

QString ModifiedLongText(std::int64_t secondsSinceEpoch)
{
    return QLocale().toString(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch), QLocale::LongFormat);
}

std::string AttributeLetters(const ChildRecord& record)
{
    std::string letters;
    for (const LetterBit& bit : kFindLetters) {
        const bool set = record.file ? (record.file->findAttributes & bit.findBit) != 0
                                     : (record.attributes & bit.shellBit) != 0;
        if (set)
            letters.push_back(bit.letter);
    }
    if (record.attributes & SFGAO_LINK)
        letters.push_back('L');
    if (record.attributes & SFGAO_SHARE)
        letters.push_back('N');
    return letters;
}

bool IsFolderRecord(const ChildRecord& record)
{
    return (record.attributes & SFGAO_FOLDER) != 0;
}

QString TypeTextOf(const ChildRecord& record)
{
    if (IsFolderRecord(record))
        return MessageText((record.attributes & SFGAO_FILESYSTEM) ? ssscTypeFolder : ssscTypeSystemFolder);
    const std::string description = fileTypeDescription(record.typeIndex);
    return description.empty() ? MessageText(ssscTypeFile) : QString::fromStdString(description);
}

std::string ShownNameOf(const ChildRecord& record)
{
    return TStShellItem::ShownName(record.parsingName, record.displayName);
}
