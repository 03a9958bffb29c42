// SPDX-License-Identifier: MIT
#include "platform/namespace/DisplayText.h"

#include "base/text/SsHexDigits.h"

#include <QByteArray>
#include <QString>

namespace dw::platform {

namespace {

// A character a line of text cannot show as it is (it would break the line,
// move the text or vanish) as an escape every font can draw: "\n", "\t",
// "\r", else "\xHH" (or "\uHHHH" past the first 256); empty for every other
// character, which shows as it is.
QString escapeOf(char16_t code)
{
    switch (code) {
    case u'\n': return QStringLiteral("\\n");
    case u'\t': return QStringLiteral("\\t");
    case u'\r': return QStringLiteral("\\r");
    default: break;
    }
    const QString hex = QString::number(code, 16).toUpper();
    if (code < 0x20 || (code >= 0x7F && code < 0xA0))
        return QStringLiteral("\\x") + hex.rightJustified(2, QLatin1Char('0'));
    if (code == QChar::LineSeparator || code == QChar::ParagraphSeparator)
        return QStringLiteral("\\u") + hex;
    return {};
}

} // namespace

QString displayQStringFromBytes(std::string_view bytes)
{
    const QString text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const QString escape = escapeOf(c.unicode());
        shown += escape.isEmpty() ? QString(c) : escape;
    }
    return shown;
}

std::string displayTextFromBytes(std::string_view bytes)
{
    return displayQStringFromBytes(bytes).toStdString();
}

std::string percentEncode(std::string_view bytes)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z')
            || (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~'
            || byte == '/';
        if (plain) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(hex[byte >> 4]);
            out.push_back(hex[byte & 0xF]);
        }
    }
    return out;
}

std::optional<std::string> percentDecode(std::string_view text)
{
    constexpr auto digit = ss::HexDigitValue;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size() || digit(text[i + 1]) < 0 || digit(text[i + 2]) < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(digit(text[i + 1]) * 16 + digit(text[i + 2])));
        i += 2;
    }
    return out;
}

} // namespace dw::platform
