// SPDX-License-Identifier: MIT
#include "SsConst.h"

#include <array>

namespace {

constexpr std::array<SsMessageRow, 87> kMessages{{
    {ssscContainerEmpty, "Container is empty"},
    {ssscIndexOutOfRange, "Index out of range: %d"},
    {ssscInvalidNode, "Invalid container node"},
    {ssscNilItem, "Cannot add an empty item to a container"},
    {ssscDuplicateItem, "Item is already in the container"},
    {ssscItemNotFound, "Item not found in container"},
    {ssscContainerReadOnly, "Container is read-only"},
    {ssscInvalidCount, "Invalid item count: %d"},
    {ssscInvalidCapacity, "Invalid container capacity: %d"},
    {ssscContainerOutOfMemory, "Not enough memory for container"},
    {ssscContainerLocked, "Container is in use"},
    {ssscCannotStoreContainer, "Cannot store container"},
    {ssscBadContainerData, "Cannot load container: data is damaged"},
    {ssscIncompatibleContainers, "Containers are not compatible"},
    {ssscForeignNode, "Node belongs to another container"},
    {ssscNoCompareFunction, "No compare function assigned to container"},
    {ssscContainerFailed, "Container operation failed"},

    {ssscFileOpenError, "Error opening file"},
    {ssscNoVersionInfo, "File does not contain version info"},
    {ssscVersionNotNumber, "Version text is not a number: %s"},

    {ssscShellVersionError, "Operation not supported in this version of the shell"},
    {ssscShellEntryMissing, "The shell module has no entry point %d (%s)"},
    {ssscShellModuleNotLoaded, "Cannot load the shell module %s"},
    {ssscShellCallFailed, "Shell operation failed: %s"},
    {ssscNoDesktopFolder, "Cannot get the desktop folder"},
    {ssscNoSpecialFolder, "Cannot get special folder %d"},
    {ssscInvalidIdList, "Invalid item identifier list"},
    {ssscNoDisplayName, "Cannot get the display name of the item"},
    {ssscNoAttributes, "Cannot get the attributes of the item"},
    {ssscCannotEnumerate, "Cannot list the contents of %s"},
    {ssscNoContextMenu, "Cannot get the context menu of the item"},
    {ssscNotifyRegisterFailed, "Cannot register for shell change notification"},
    {ssscCannotRename, "Cannot rename %s"},
    {ssscNoIcon, "Cannot get the icon of the item"},
    {ssscCannotExecute, "Cannot open %s"},
    {ssscNotAFolder, "Item is not a folder"},
    {ssscNotFileSystem, "Item is not part of the file system"},
    {ssscCannotStartDrag, "Cannot start dragging the item"},
    {ssscClipboardFormatFailed, "Cannot register clipboard format %s"},

    {ssscVersionInfoDamaged, "Version info is damaged"},
    {ssscNoTranslation, "Version info has no translation"},
    {ssscNoFixedInfo, "Version info has no fixed file information"},
    {ssscVersionReadError, "Error reading version info"},
    {ssscVersionKeyNotFound, "The specified key cannnot be found in version info"},
    {ssscVersionValueNotText, "Version info value is not text"},

    {ssscColumnName, "Name"},
    {ssscColumnSize, "Size"},
    {ssscColumnType, "Type"},
    {ssscColumnModified, "Modified"},
    {ssscColumnAttributes, "Attributes"},
    {ssscTypeFolder, "Folder"},
    {ssscTypeFileFolder, "File Folder"},
    {ssscTypeSystemFolder, "System Folder"},
    {ssscTypeDrive, "Drive"},
    {ssscTypeFile, "File"},
    {ssscInvalidFolder, "Invalid folder"},
    {ssscParentReadOnly, "Cannot create folder: Parent folder is read-only"},
    {ssscInvalidSortDirection, "Invalid sort direction"},

    {ssscDictKeyNotFound, "Key not found in dictionary: %s"},
    {ssscDictDuplicateKey, "Key is already in dictionary: %s"},
    {ssscDictInvalidSize, "Invalid dictionary size: %d"},
    {ssscDictEmpty, "Dictionary is empty"},
    {ssscDictNoHashFunction, "No hash function assigned to dictionary"},

    {ssscBufStreamNoStream, "Buffered stream has no underlying stream"},
    {ssscBufStreamCannotSeek, "Cannot seek in buffered stream"},
    {ssscBufStreamBadSize, "Invalid buffer size: %d"},
    {ssscBufStreamReadError, "Error reading from buffered stream"},
    {ssscBufStreamWriteError, "Error writing to buffered stream"},
    {ssscBufStreamLineTooLong, "Line too long for buffered stream"},
    {ssscBufStreamBadTerminator, "Invalid line terminator"},

    {ssscRegExEmpty, "Pattern is empty"},
    {ssscRegExNoCloseBracket, "Missing ] in pattern"},
    {ssscRegExNoCloseParen, "Missing ) in pattern"},
    {ssscRegExStrayCloseParen, "Unexpected ) in pattern"},
    {ssscRegExBadRange, "Invalid character range in pattern"},
    {ssscRegExBadEscape, "Invalid escape sequence in pattern"},
    {ssscRegExNothingToRepeat, "Nothing to repeat in pattern"},
    {ssscRegExBadRepeatCount, "Invalid repeat count in pattern"},
    {ssscRegExTooComplex, "Pattern is too complex"},
    {ssscRegExBadClass, "Invalid character class in pattern"},
    {ssscRegExTrailingEscape, "Pattern ends with an escape character"},
    {ssscRegExBadReplacement, "Invalid replacement text"},
    {ssscRegExBadTagReference, "Replacement refers to missing tag %d"},
    {ssscRegExMatchLimit, "Pattern match limit exceeded"},
    {ssscRegExNoInput, "No text to search"},
    {ssscRegExBadOptions, "Invalid search options"},
    {ssscRegExNotCompiled, "The pattern cannot be compiled: %s (at offset %d)"},
}};

} // namespace

std::span<const SsMessageRow> SsMessageTable()
{
    return kMessages;
}

std::string_view SsLookupMessage(std::span<const SsMessageRow> rows, std::int32_t code)
{
    std::string_view found;
    for (const SsMessageRow& row : rows) {
        if (row.code == code)
            found = row.text;
    }
    return found;
}

std::string_view SsMessageText(std::int32_t code)
{
    return SsLookupMessage(kMessages, code);
}
