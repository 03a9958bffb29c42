// SPDX-License-Identifier: MIT
#pragma once
// Error codes of the library's message table and the table itself.
//
// Every ESsException carries one of these codes; its message is the text of
// the code's row (see SsMessageText). The codes are grouped as follows:
//
//   51..67    containers (TStList, TStDQue)
//   73        version information: file cannot be opened
//   100, 101  version information: no version block, version text not a number
//   110..128  shell: version gate, shell module and namespace operations
//   130..135  version information: damaged blocks, missing keys
//   230..242  shell file list: column captions, folder-type names, folder errors
//   260..264  hash dictionary
//   270..276  buffered text streams
//   290..306  pattern engine (QRegularExpression's messages come through 306)
//
// Texts with a "%" take format arguments (ESsException's formatting constructor).

#include <cstdint>
#include <span>
#include <string_view>

// Containers.
inline constexpr int ssscContainerEmpty = 51;
inline constexpr int ssscIndexOutOfRange = 52;       // %d: the index
inline constexpr int ssscInvalidNode = 53;
inline constexpr int ssscNilItem = 54;
inline constexpr int ssscDuplicateItem = 55;
inline constexpr int ssscItemNotFound = 56;
inline constexpr int ssscContainerReadOnly = 57;
inline constexpr int ssscInvalidCount = 58;          // %d: the count
inline constexpr int ssscInvalidCapacity = 59;       // %d: the capacity
inline constexpr int ssscContainerOutOfMemory = 60;
inline constexpr int ssscContainerLocked = 61;
inline constexpr int ssscCannotStoreContainer = 62;
inline constexpr int ssscBadContainerData = 63;
inline constexpr int ssscIncompatibleContainers = 64;
inline constexpr int ssscForeignNode = 65;
inline constexpr int ssscNoCompareFunction = 66;
inline constexpr int ssscContainerFailed = 67;

// Version information.
inline constexpr int ssscFileOpenError = 73;          // "Error opening file"
inline constexpr int ssscNoVersionInfo = 100;         // "File does not contain version info"
inline constexpr int ssscVersionNotNumber = 101;      // %s: the version text

// Shell.
inline constexpr int ssscShellVersionError = 110;     // "Operation not supported in this version of the shell"
inline constexpr int ssscShellEntryMissing = 111;     // %d: the ordinal, %s: the function's name
inline constexpr int ssscShellModuleNotLoaded = 112;  // %s: the module's name
inline constexpr int ssscShellCallFailed = 113;       // %s: the operation
inline constexpr int ssscNoDesktopFolder = 114;
inline constexpr int ssscNoSpecialFolder = 115;       // %d: the special folder number
inline constexpr int ssscInvalidIdList = 116;
inline constexpr int ssscNoDisplayName = 117;
inline constexpr int ssscNoAttributes = 118;
inline constexpr int ssscCannotEnumerate = 119;       // %s: the folder
inline constexpr int ssscNoContextMenu = 120;
inline constexpr int ssscNotifyRegisterFailed = 121;
inline constexpr int ssscCannotRename = 122;          // %s: the item
inline constexpr int ssscNoIcon = 123;
inline constexpr int ssscCannotExecute = 124;         // %s: the item
inline constexpr int ssscNotAFolder = 125;
inline constexpr int ssscNotFileSystem = 126;
inline constexpr int ssscCannotStartDrag = 127;
inline constexpr int ssscClipboardFormatFailed = 128; // %s: the format's name

// Version information, continued.
inline constexpr int ssscVersionInfoDamaged = 130;
inline constexpr int ssscNoTranslation = 131;
inline constexpr int ssscNoFixedInfo = 132;
inline constexpr int ssscVersionReadError = 133;
inline constexpr int ssscVersionKeyNotFound = 134;    // "The specified key cannnot be found in version info"
inline constexpr int ssscVersionValueNotText = 135;

// Shell file list.
inline constexpr int ssscColumnName = 230;
inline constexpr int ssscColumnSize = 231;
inline constexpr int ssscColumnType = 232;
inline constexpr int ssscColumnModified = 233;
inline constexpr int ssscColumnAttributes = 234;
inline constexpr int ssscTypeFolder = 235;
inline constexpr int ssscTypeFileFolder = 236;
inline constexpr int ssscTypeSystemFolder = 237;
inline constexpr int ssscTypeDrive = 238;
inline constexpr int ssscTypeFile = 239;
inline constexpr int ssscInvalidFolder = 240;         // "Invalid folder"
inline constexpr int ssscParentReadOnly = 241;
inline constexpr int ssscInvalidSortDirection = 242;

// Hash dictionary.
inline constexpr int ssscDictKeyNotFound = 260;       // %s: the key
inline constexpr int ssscDictDuplicateKey = 261;      // %s: the key
inline constexpr int ssscDictInvalidSize = 262;       // %d: the size
inline constexpr int ssscDictEmpty = 263;
inline constexpr int ssscDictNoHashFunction = 264;

// Buffered text streams.
inline constexpr int ssscBufStreamNoStream = 270;
inline constexpr int ssscBufStreamCannotSeek = 271;
inline constexpr int ssscBufStreamBadSize = 272;      // %d: the size
inline constexpr int ssscBufStreamReadError = 273;
inline constexpr int ssscBufStreamWriteError = 274;
inline constexpr int ssscBufStreamLineTooLong = 275;
inline constexpr int ssscBufStreamBadTerminator = 276;

// Pattern engine.
inline constexpr int ssscRegExEmpty = 290;
inline constexpr int ssscRegExNoCloseBracket = 291;
inline constexpr int ssscRegExNoCloseParen = 292;
inline constexpr int ssscRegExStrayCloseParen = 293;
inline constexpr int ssscRegExBadRange = 294;
inline constexpr int ssscRegExBadEscape = 295;
inline constexpr int ssscRegExNothingToRepeat = 296;
inline constexpr int ssscRegExBadRepeatCount = 297;
inline constexpr int ssscRegExTooComplex = 298;
inline constexpr int ssscRegExBadClass = 299;
inline constexpr int ssscRegExTrailingEscape = 300;
inline constexpr int ssscRegExBadReplacement = 301;
inline constexpr int ssscRegExBadTagReference = 302;  // %d: the tag number
inline constexpr int ssscRegExMatchLimit = 303;
inline constexpr int ssscRegExNoInput = 304;
inline constexpr int ssscRegExBadOptions = 305;
inline constexpr int ssscRegExNotCompiled = 306;   // %s: the engine's message, %d: where in the pattern

struct SsMessageRow {
    std::int32_t code;
    std::string_view text;
};

// The library's message table: 87 rows in code order, built at compile time.
std::span<const SsMessageRow> SsMessageTable();

// The text of `code` in `rows`: every row is looked at, and when several rows
// carry the code the last of them wins. A code without a row gives "".
std::string_view SsLookupMessage(std::span<const SsMessageRow> rows, std::int32_t code);

// The text of `code` in the library's table.
std::string_view SsMessageText(std::int32_t code);
