// SPDX-License-Identifier: MIT
#pragma once
// The settings store's file in memory: its lines as they were read, what they
// say, and the edits made to it.
//
// Reading replays the file as the registry editor imports it (KeysInForce.h),
// once each time the file is read or changed: sections and values in order,
// "[-KEY]" removing a key with everything below it and "name"=- removing a
// value; creating a key creates the keys above it. An
// edit changes only the lines it has to: every other line keeps its bytes,
// its comments, its line end and the file's encoding (UTF-8 with or without
// a byte order mark, or UTF-16LE as exports are often saved).

#include "platform/settings/KeysInForce.h"
#include "platform/settings/RegExportParser.h"
#include "platform/settings/RegistryValue.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dw::platform {

class RegistryFile {
public:
    // A file that does not exist yet: no keys, and the current format when
    // it is written.
    RegistryFile() = default;

    // Throws ERegistryFileError, naming `fileName`, when the bytes do not
    // follow the format.
    static RegistryFile fromBytes(std::string_view bytes, const std::string& fileName);

    bool hasKey(std::string_view key) const;
    std::optional<RegistryValue> value(std::string_view key, std::string_view name) const;

    // Adds an empty section for `key` unless the key exists; true when it did.
    bool createKey(std::string_view key);
    // Replaces the value in the key's last section, or adds it there; makes
    // the key when there is none.
    void setValue(std::string_view key, std::string_view name, const RegistryValue& value);

    std::string bytes() const;

private:
    enum class Encoding { Utf8, Utf16Le };
    struct Line {
        std::string text;               // without its end
        std::optional<std::string> raw; // the bytes as read, end included; none for a new line
    };

    void splitLines(std::string_view bytes);
    void reparse();
    std::string encoded(std::string_view text) const;
    void insertLines(std::size_t at, const std::vector<std::string>& texts);
    // Index of the statement that opens the key's section in force, if any.
    std::optional<std::size_t> sectionInForce(std::string_view foldedKey) const;
    std::size_t endOfSection(std::size_t section, std::string_view foldedName,
                             std::optional<std::size_t>& existing) const;

    Encoding encoding_ = Encoding::Utf8;
    std::string byteOrderMark_;
    std::string newline_ = "\n";
    std::string fileName_;
    std::vector<Line> lines_;
    RegExportContent content_;
    KeysInForce keys_; // what content_ leaves, made once each time it is read
};

} // namespace dw::platform
