// SPDX-License-Identifier: MIT
#include "shell/notification/StRootFolderKinds.h"

#include <array>

namespace {

constexpr std::array<int, kSpecialRootFolderCount> kCsidl = {
    29, // sfAltStartup
    26, // sfAppData
    10, // sfBitBucket
    30, // sfCommonAltStartup
    25, // sfCommonDesktopDir
    31, // sfCommonFavorites
    23, // sfCommonPrograms
    22, // sfCommonStartMenu
    24, // sfCommonStartup
    49, // sfConnections
    3,  // sfControls
    33, // sfCookies
    0,  // sfDesktop
    16, // sfDesktopDir
    17, // sfDrives
    6,  // sfFavorites
    20, // sfFonts
    34, // sfHistory
    1,  // sfInternet
    32, // sfInternetCache
    19, // sfNetHood
    18, // sfNetwork
    0,  // sfNone
    5,  // sfPersonal
    4,  // sfPrinters
    27, // sfPrintHood
    2,  // sfPrograms
    8,  // sfRecentFiles
    9,  // sfSendTo
    11, // sfStartMenu
    7,  // sfStartup
    21, // sfTemplates
};

} // namespace

int SpecialRootFolderCsidl(TStSpecialRootFolder folder)
{
    const auto index = static_cast<std::size_t>(folder);
    return index < kCsidl.size() ? kCsidl[index] : 0;
}
