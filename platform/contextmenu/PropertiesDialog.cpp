// SPDX-License-Identifier: MIT
#include "platform/contextmenu/PropertiesDialog.h"

#include "platform/fileinfo/FileInfo.h"
#include "platform/namespace/DisplayText.h"
#include "platform/namespace/ShellNamespace.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QTabWidget>
#include <QVBoxLayout>

namespace dw::platform {

namespace {

QString text(const std::string& bytes)
{
    return QString::fromStdString(displayTextFromBytes(bytes));
}

QString attributeWords(std::uint32_t attributes)
{
    QStringList words;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        words << QStringLiteral("read-only");
    if (attributes & FILE_ATTRIBUTE_HIDDEN)
        words << QStringLiteral("hidden");
    if (attributes & FILE_ATTRIBUTE_SYSTEM)
        words << QStringLiteral("special file");
    if (attributes & FILE_ATTRIBUTE_COMPRESSED)
        words << QStringLiteral("compressed");
    return words.isEmpty() ? QStringLiteral("none") : words.join(QStringLiteral(", "));
}

QWidget* pageFor(const ItemProperties& facts)
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    const std::pair<const char*, QString> rows[] = {{"Name:", facts.name},         {"Type:", facts.type},
                                                    {"Location:", facts.location}, {"Size:", facts.size},
                                                    {"Modified:", facts.modified}, {"Attributes:", facts.attributes}};
    for (const auto& [caption, value] : rows) {
        auto* label = new QLabel(value);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setWordWrap(true);
        form->addRow(QString::fromLatin1(caption), label);
    }
    return page;
}

} // namespace

ItemProperties readItemProperties(const std::string& path)
{
    ItemProperties facts;
    const std::size_t slash = path.rfind('/');
    facts.name = text(slash == std::string::npos || slash + 1 == path.size() ? path : path.substr(slash + 1));
    facts.location = text(slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash));
    FindData data;
    if (failed(FindFileData(path, data))) {
        facts.type = QStringLiteral("(no longer exists)");
        return facts;
    }
    const bool folder = (data.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.type = QString::fromStdString(typeNameOfPath(path, folder));
    facts.size = folder ? QStringLiteral("—")
                        : QLocale().formattedDataSize(static_cast<qint64>(data.size)) + QStringLiteral(" (")
            + QLocale().toString(static_cast<qulonglong>(data.size)) + QStringLiteral(" bytes)");
    facts.modified = QLocale().toString(QDateTime::fromSecsSinceEpoch(data.lastWriteSeconds), QLocale::LongFormat);
    facts.attributes = attributeWords(data.attributes);
    return facts;
}

PropertiesDialog::PropertiesDialog(const std::vector<ItemProperties>& items, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Properties"));
    auto* layout = new QVBoxLayout(this);
    if (items.size() == 1) {
        layout->addWidget(pageFor(items.front()));
    } else {
        auto* tabs = new QTabWidget;
        for (const ItemProperties& facts : items)
            tabs->addTab(pageFor(facts), facts.name);
        layout->addWidget(tabs);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace dw::platform
