// SPDX-License-Identifier: MIT
#pragma once
// Reads the registry's export text: a header line, then "[KEY]" sections
// with their "name"=value lines.
//
//   Windows Registry Editor Version 5.00       (or REGEDIT4)
//   ; a comment
//   [Software\Quillfen\Datewright 2]
//   "DefaultCalendarDir"="/home/ann/Calendars"
//   "Count"=dword:0000000a
//   "Path"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00
//   "Old"=-                                    (removes a value)
//   [-Software\Quillfen\Old]                   (removes a key and all below)
//
// In names and strings "\\" stands for a backslash and "\"" for a quote; a
// backslash before anything else is kept as written. Byte lists may go on
// over several lines, each but the last ending in "\".

#include "platform/settings/RegistryValue.h"

#include <optional>
#include <string>
#include <vector>

namespace dw::platform {

enum class RegStatementKind { Key, DeleteKey, Value, DeleteValue };

// One section header or value line, with the lines of the file it covers.
struct RegStatement {
    RegStatementKind kind = RegStatementKind::Key;
    std::size_t firstLine = 0; // index into the lines, from 0
    std::size_t lineCount = 1;
    std::string key;           // Key, DeleteKey: the path below the user's root
    std::string name;          // Value, DeleteValue: "" for the default value "@"
    std::optional<RegistryValue> value;
};

struct RegExportContent {
    bool hasHeader = false;    // false only for a file of blank lines and comments
    bool wideStrings = true;   // false in the old "REGEDIT4" format
    std::vector<RegStatement> statements;
};

// `lines` are the file's lines without their ends. A line that does not
// follow the format throws ERegistryFileError naming `fileName` and the line.
RegExportContent parseRegExport(const std::vector<std::string>& lines, const std::string& fileName);

} // namespace dw::platform
