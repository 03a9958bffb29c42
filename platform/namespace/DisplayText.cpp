// SPDX-License-Identifier: MIT
#include "platform/namespace/DisplayText.h"

#include "base/text/SsHexDigits.h"

#include <QByteArray>
#include <QString>

namespace dw::platform {

namespace {

constexpr char16_t kControlPictures = 0x2400; // U+2400 SYMBOL FOR NULL, then one per C0 control
constexpr char16_t kDeletePicture = 0x2421;

// What a character that a line of text cannot show as it is shows as
// instead; the character itself for every other.
QChar shownAs(QChar c)
{
    const char16_t code = c.unicode();
    if (code < 0x20)
        return QChar(char16_t(kControlPictures + code));
    if (code == 0x7F)
        return QChar(kDeletePicture);
    if ((code >= 0x80 && code < 0xA0) || code == QChar::LineSeparator || code == QChar::ParagraphSeparator)
        return QChar::ReplacementCharacter;
    return c;
}

} // namespace

QString displayQStringFromBytes(std::string_view bytes)
{
    QString text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    for (QChar& c : text)
        c = shownAs(c);
    return text;
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
