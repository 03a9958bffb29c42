// SPDX-License-Identifier: MIT
#pragma once
// The ids of the Linux namespace.
//
// Every id is the length-prefixed record of platform/idlist/IdList.h; its
// data bytes (after the two size bytes) are laid out as
//
//   byte 0   kind, one of IdKind below
//   byte 1   kind-specific flags (see below), 0 when the kind has none
//   byte 2…  payload, exact bytes, no terminator (the id's size bounds it)
//
//   kind  child of        byte 1                  payload
//   'H'   desktop         0                       none: the home folder
//   'C'   desktop         0                       none: Computer
//   'N'   desktop         0                       none: Network
//   'T'   desktop         0                       none: Trash
//   'V'   Computer        drive type (DriveType)  mount point, absolute path
//   'S'   Network         0                       mount point, absolute path
//   'X'   Trash           ENTRY_DIRECTORY for a   entry name in the trash's
//                         trashed folder, else 0  "files" folder
//   'F'   any file-system entry flags             one name component: any
//         folder                                  bytes but "/" and NUL,
//                                                 not "." or ".."
//
// Entry flags of 'F': 0x01 a directory (symbolic links followed), 0x02 a
// symbolic link, 0x04 a link whose target cannot be reached. They are read
// from the file system when the id is made (enumeration or parsing) and
// serve ordering and the cheap attributes; probes ask the file system again.
//
// An id from outside the process is checked with isWellFormedRecord before
// any folder looks at it.

#include "platform/idlist/IdList.h"
#include "platform/namespace/ShellTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dw::platform {

enum class IdKind : char {
    Home = 'H',
    Computer = 'C',
    Network = 'N',
    Trash = 'T',
    Volume = 'V',
    Share = 'S',
    TrashEntry = 'X',
    Entry = 'F',
};

constexpr std::uint8_t ENTRY_DIRECTORY = 0x01;
constexpr std::uint8_t ENTRY_SYMLINK = 0x02;
constexpr std::uint8_t ENTRY_DANGLING = 0x04;

struct IdRecord {
    IdKind kind;
    std::uint8_t flags;
    std::string_view payload;

    bool isDirectory() const { return (flags & ENTRY_DIRECTORY) != 0; }
};

// The record of the first id of `list`; nothing at the terminator or when
// the id is not a record of this namespace.
std::optional<IdRecord> readRecord(const ItemIdList* list);

// Whether `data` (an id's bytes after its size) is a well-formed record.
bool isWellFormedRecord(std::string_view data);

// Whether `name` may be one path component: not empty, no "/" or NUL, not
// "." or "..", at most 255 bytes.
bool isValidComponent(std::string_view name);

// The empty list: the desktop.
IdListPtr emptyIdList();

// One-id lists.
IdListPtr makeRecord(IdKind kind, std::uint8_t flags = 0, std::string_view payload = {});
IdListPtr makeEntryRecord(std::string_view name, std::uint8_t flags);

// Checks every id of a list from outside: the chain (ILValidate) and each
// record. Answers the list's size or 0.
std::uint32_t validateNamespaceIdList(const void* buffer, std::size_t bufferSize);

} // namespace dw::platform
