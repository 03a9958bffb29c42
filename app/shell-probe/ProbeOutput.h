// SPDX-License-Identifier: MIT
#pragma once
// How shell-probe writes names: display names as they are (UTF-8 without
// control characters), parsing names with their exact bytes, except that
// bytes below 0x20, 0x7F and the backslash are written as \xNN so that
// every item stays on one line and the bytes can be recovered.

#include "platform/idlist/IdList.h"
#include "platform/namespace/ShellTypes.h"

#include <string>

std::string escapedBytes(const std::string& bytes);
// Each id as hex bytes, ids separated by spaces, then "0000".
std::string idListHex(const dw::platform::ItemIdList* list);
std::string driveTypeName(dw::platform::DriveType type);
// The error text for a path that does not parse ("Invalid folder").
std::string invalidFolderText();
