// SPDX-License-Identifier: MIT
#pragma once
// What the file list's columns say of a record: sizes in the desktop's
// usual units, times in the locale's short form, the attribute letters and
// the type's text. The letters, in this order:
//   H hidden, S system (a device, pipe, socket or a link that leads
//   nowhere), R read-only, C compressed, A an ordinary file (the archive
//   bit), L a symbolic link, N a shared (network) folder.

#include "platform/listing/ChildRecord.h"

#include <QString>

#include <cstdint>
#include <string>

// The caption of a column (TStListColumn), from the message table.
QString ListColumnCaption(int column);

// "12.3 kB" (SI units) or "12.0 KiB" (IEC units, on desktops that use
// them); "512 bytes" below a kilobyte.
QString SizeText(std::uint64_t bytes);
// "1,234,567 bytes", with the locale's digit grouping.
QString ExactSizeText(std::uint64_t bytes);

// The local time of `secondsSinceEpoch` in the locale's short form, and in
// its long form for tooltips.
QString ModifiedText(std::int64_t secondsSinceEpoch);
QString ModifiedLongText(std::int64_t secondsSinceEpoch);

std::string AttributeLetters(const dw::platform::ChildRecord& record);

// "Folder", "System Folder" for a folder outside the file system, the
// type's description for a file whose name tells its type, else "File".
QString TypeTextOf(const dw::platform::ChildRecord& record);

bool IsFolderRecord(const dw::platform::ChildRecord& record);
// The name a row shows (a network share's without its server).
std::string ShownNameOf(const dw::platform::ChildRecord& record);
