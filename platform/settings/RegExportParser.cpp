// SPDX-License-Identifier: MIT
#include "platform/settings/RegExportParser.h"

#include "platform/settings/RegistryErrors.h"
#include "platform/settings/RegistryHexData.h"
#include "platform/settings/RegistryKeyPath.h"
#include "platform/settings/TextTrimming.h"

#include <string_view>

namespace dw::platform {

namespace {

constexpr std::string_view currentHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view oldHeader = "REGEDIT4";

class Parser {
public:
    Parser(const std::vector<std::string>& lines, const std::string& fileName)
        : lines_(lines), fileName_(fileName)
    {
    }

    RegExportContent run()
    {
        for (line_ = 0; line_ < lines_.size(); ++line_) {
            const std::string_view text = trimmedOfBlanks(lines_[line_]);
            if (text.empty() || text.front() == ';')
                continue;
            if (!content_.hasHeader)
                readHeader(text);
            else if (text.front() == '[')
                readKey(text);
            else
                readValue(text);
        }
        return std::move(content_);
    }

private:
    [[noreturn]] void fail(const std::string& reason) const
    {
        throw ERegistryFileError::damaged(fileName_, line_ + 1, reason);
    }

    void readHeader(std::string_view text)
    {
        if (text == oldHeader)
            content_.wideStrings = false;
        else if (text != currentHeader)
            fail("the first line must be \"" + std::string(currentHeader) + "\"");
        content_.hasHeader = true;
    }

    void readKey(std::string_view text)
    {
        const auto close = text.rfind(']');
        if (close != text.size() - 1)
            fail("a key line must end with \"]\"");
        std::string_view name = text.substr(1, close - 1);
        RegStatement statement;
        statement.kind = RegStatementKind::Key;
        if (!name.empty() && name.front() == '-') {
            statement.kind = RegStatementKind::DeleteKey;
            name.remove_prefix(1);
        }
        if (name.empty())
            fail("a key needs a name");
        statement.key = keyPathInUserBranch(name); // "" for the user's root itself
        statement.firstLine = line_;
        sawKey_ = true;
        content_.statements.push_back(std::move(statement));
    }

    // Reads a quoted text starting at text[0] == '"'; `text` is left after
    // the closing quote.
    std::string readQuoted(std::string_view& text, const char* what)
    {
        std::string result;
        std::size_t at = 1;
        for (; at < text.size() && text[at] != '"'; ++at) {
            const bool escape = text[at] == '\\' && at + 1 < text.size()
                && (text[at + 1] == '\\' || text[at + 1] == '"');
            if (escape)
                ++at;
            result += text[at];
        }
        if (at >= text.size())
            fail(std::string("the ") + what + " has no closing quote");
        text.remove_prefix(at + 1);
        return result;
    }

    std::string readName(std::string_view& text)
    {
        if (text.front() == '@') {
            text.remove_prefix(1);
            return {};
        }
        if (text.front() != '"')
            fail("expected a key in brackets or a \"name\"=value line");
        return readQuoted(text, "name");
    }

    void readValue(std::string_view text)
    {
        RegStatement statement;
        statement.firstLine = line_;
        statement.name = readName(text);
        text = trimmedOfBlanks(text);
        if (text.empty() || text.front() != '=')
            fail("expected \"=\" after the value's name");
        text = trimmedOfBlanks(text.substr(1));
        if (!sawKey_)
            fail("a value must follow a key in brackets");
        if (text == "-") {
            statement.kind = RegStatementKind::DeleteValue;
        } else {
            statement.kind = RegStatementKind::Value;
            statement.value = readData(text);
        }
        statement.lineCount = line_ + 1 - statement.firstLine;
        content_.statements.push_back(std::move(statement));
    }

    RegistryValue readData(std::string_view text)
    {
        if (!text.empty() && text.front() == '"') {
            std::string string = readQuoted(text, "string");
            if (!trimmedOfBlanks(text).empty())
                fail("nothing may follow a string's closing quote");
            return RegistryValue::string(std::move(string));
        }
        if (startsWithFolded(text, "dword:"))
            return readDword(text.substr(6));
        if (startsWithFolded(text, "hex"))
            return readHex(text.substr(3));
        fail("unknown kind of value (expected \"text\", dword:, hex: or hex(N):)");
    }

    RegistryValue readDword(std::string_view digits)
    {
        const auto number = parseHexNumber(trimmedOfBlanks(digits));
        if (!number)
            fail("a dword takes one to eight hexadecimal digits");
        return RegistryValue::dword(*number);
    }

    std::uint32_t readHexType(std::string_view& text)
    {
        if (!text.empty() && text.front() == ':') {
            text.remove_prefix(1);
            return std::uint32_t(RegistryType::Binary);
        }
        const auto close = text.find("):");
        const auto type = text.empty() || text.front() != '(' || close == std::string_view::npos
            ? std::nullopt
            : parseHexNumber(text.substr(1, close - 1));
        if (!type)
            fail("expected hex: or hex(N): with N a hexadecimal type number");
        text.remove_prefix(close + 2);
        return *type;
    }

    // The byte list, with the lines it goes on over joined.
    std::string joinedByteList(std::string_view text)
    {
        std::string list;
        while (takeContinuation(text)) {
            list += text;
            if (line_ + 1 >= lines_.size())
                fail("the byte list goes on past the end of the file");
            text = lines_[++line_];
        }
        return list + std::string(text);
    }

    RegistryValue readHex(std::string_view text)
    {
        const std::uint32_t type = readHexType(text);
        const std::size_t first = line_;
        const auto bytes = parseHexByteList(joinedByteList(text));
        if (!bytes) {
            line_ = first;
            fail("a byte list is two-digit hexadecimal numbers separated by commas");
        }
        return valueFromRegistryBytes(type, *bytes, content_.wideStrings);
    }

    const std::vector<std::string>& lines_;
    const std::string& fileName_;
    std::size_t line_ = 0;
    bool sawKey_ = false;
    RegExportContent content_;
};

} // namespace

RegExportContent parseRegExport(const std::vector<std::string>& lines, const std::string& fileName)
{
    return Parser(lines, fileName).run();
}

} // namespace dw::platform
