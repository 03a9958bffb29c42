// SPDX-License-Identifier: MIT
#include "platform/settings/RegistryFile.h"

#include "platform/settings/RegExportWriter.h"
#include "platform/settings/RegistryErrors.h"
#include "platform/settings/RegistryKeyPath.h"
#include "platform/settings/Utf16Text.h"

namespace dw::platform {

namespace {

constexpr std::string_view utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view utf16LeBom = "\xFF\xFE";

bool looksLikeUtf16Le(std::string_view bytes)
{
    if (bytes.starts_with(utf16LeBom))
        return true;
    // Without a mark: ASCII text in UTF-16LE has a NUL after each letter.
    return bytes.size() >= 4 && bytes[0] != '\0' && bytes[1] == '\0' && bytes[2] != '\0' && bytes[3] == '\0';
}

bool isSectionBoundary(const RegStatement& statement)
{
    return statement.kind == RegStatementKind::Key || statement.kind == RegStatementKind::DeleteKey;
}

} // namespace

RegistryFile RegistryFile::fromBytes(std::string_view bytes, const std::string& fileName)
{
    RegistryFile file;
    file.fileName_ = fileName;
    file.encoding_ = looksLikeUtf16Le(bytes) ? Encoding::Utf16Le : Encoding::Utf8;
    file.splitLines(bytes);
    // UTF-16 comes in pairs of bytes: an odd one out means the file was cut
    // short or had 8-bit text added to it. Which, and where its lines end,
    // cannot be told, so it is not taken (and so never written): anything
    // added after that byte would stand at odd offsets and read back as
    // nonsense.
    if (file.encoding_ == Encoding::Utf16Le && bytes.size() % 2 != 0)
        throw ERegistryFileError::damaged(fileName, file.lines_.size(),
                                          "the file is UTF-16 but ends with half a character");
    file.reparse();
    return file;
}

void RegistryFile::splitLines(std::string_view bytes)
{
    const bool wide = encoding_ == Encoding::Utf16Le;
    const std::size_t unit = wide ? 2 : 1;
    const std::string_view bom = wide ? utf16LeBom : utf8Bom;
    if (bytes.starts_with(bom)) {
        byteOrderMark_ = bom;
        bytes.remove_prefix(bom.size());
    }
    bool firstEnd = true;
    for (std::size_t start = 0, at = 0; start < bytes.size(); start = at) {
        while (at + unit <= bytes.size() && !(bytes[at] == '\n' && (!wide || bytes[at + 1] == '\0')))
            at += unit;
        const bool ended = at + unit <= bytes.size();
        const std::string_view content = bytes.substr(start, at - start);
        std::string text = wide ? utf8FromUtf16Le(content) : std::string(content);
        const bool carriageReturn = ended && !text.empty() && text.back() == '\r';
        if (carriageReturn)
            text.pop_back();
        if (ended && firstEnd) {
            newline_ = carriageReturn ? "\r\n" : "\n";
            firstEnd = false;
        }
        at = ended ? at + unit : bytes.size();
        lines_.push_back({std::move(text), std::string(bytes.substr(start, at - start))});
    }
}

void RegistryFile::reparse()
{
    std::vector<std::string> texts;
    texts.reserve(lines_.size());
    for (const auto& line : lines_)
        texts.push_back(line.text);
    content_ = parseRegExport(texts, fileName_);
    keys_ = KeysInForce(content_.statements);
}

bool RegistryFile::hasKey(std::string_view key) const
{
    return keys_.hasKey(foldedName(keyPathInUserBranch(key)));
}

std::optional<RegistryValue> RegistryFile::value(std::string_view key, std::string_view name) const
{
    return keys_.value(foldedName(keyPathInUserBranch(key)), foldedName(name));
}

std::string RegistryFile::encoded(std::string_view text) const
{
    std::string line(text);
    line += newline_;
    return encoding_ == Encoding::Utf16Le ? utf16LeFromUtf8(line) : line;
}

void RegistryFile::insertLines(std::size_t at, const std::vector<std::string>& texts)
{
    if (at == lines_.size() && !lines_.empty() && lines_.back().raw) {
        // A last line without its end gets one before anything follows it.
        const std::string end = encoded("");
        std::string& raw = *lines_.back().raw;
        if (!raw.ends_with(end))
            raw += end;
    }
    std::vector<Line> added;
    for (const auto& text : texts)
        added.push_back({text, std::nullopt});
    lines_.insert(lines_.begin() + std::ptrdiff_t(at), added.begin(), added.end());
    reparse();
}

bool RegistryFile::createKey(std::string_view key)
{
    if (hasKey(key))
        return false;
    if (!content_.hasHeader)
        insertLines(0, {std::string(regExportHeader)});
    std::vector<std::string> texts;
    if (!lines_.back().text.empty())
        texts.emplace_back();
    texts.push_back(regKeyLine(keyPathInUserBranch(key)));
    insertLines(lines_.size(), texts);
    return true;
}

std::optional<std::size_t> RegistryFile::sectionInForce(std::string_view foldedKey) const
{
    std::optional<std::size_t> section;
    const auto& statements = content_.statements;
    for (std::size_t i = 0; i < statements.size(); ++i) {
        const std::string folded = foldedName(statements[i].key);
        if (statements[i].kind == RegStatementKind::Key && folded == foldedKey)
            section = i;
        else if (statements[i].kind == RegStatementKind::DeleteKey && isSameOrBelow(foldedKey, folded))
            section.reset();
    }
    return section;
}

// The line after the section's last value line; `existing` gets the last
// statement of the section that names the value.
std::size_t RegistryFile::endOfSection(std::size_t section, std::string_view foldedName_,
                                       std::optional<std::size_t>& existing) const
{
    const auto& statements = content_.statements;
    std::size_t end = statements[section].firstLine + statements[section].lineCount;
    for (std::size_t i = section + 1; i < statements.size() && !isSectionBoundary(statements[i]); ++i) {
        end = statements[i].firstLine + statements[i].lineCount;
        if (foldedName(statements[i].name) == foldedName_)
            existing = i;
    }
    return end;
}

void RegistryFile::setValue(std::string_view key, std::string_view name, const RegistryValue& value)
{
    const std::string foldedKey = foldedName(keyPathInUserBranch(key));
    auto section = sectionInForce(foldedKey);
    if (!section) {
        createKey(key);
        section = sectionInForce(foldedKey);
    }
    std::optional<std::size_t> existing;
    const std::size_t end = endOfSection(*section, foldedName(name), existing);
    const std::vector<std::string> texts = regValueLines(name, value, content_.wideStrings);
    if (!existing) {
        insertLines(end, texts);
        return;
    }
    const std::size_t firstOld = content_.statements[*existing].firstLine;
    const std::size_t oldCount = content_.statements[*existing].lineCount;
    lines_.erase(lines_.begin() + std::ptrdiff_t(firstOld),
                 lines_.begin() + std::ptrdiff_t(firstOld + oldCount));
    insertLines(firstOld, texts);
}

std::string RegistryFile::bytes() const
{
    std::string bytes = byteOrderMark_;
    for (const auto& line : lines_)
        bytes += line.raw ? *line.raw : encoded(line.text);
    return bytes;
}

} // namespace dw::platform
