// SPDX-License-Identifier: MIT
#pragma once
// The special folders a shell control can be pointed at, shared by the
// folder tree and the change notification, and the shell's special folder
// number (CSIDL) of each.

enum TStSpecialRootFolder : int {
    sfAltStartup,
    sfAppData,
    sfBitBucket,
    sfCommonAltStartup,
    sfCommonDesktopDir,
    sfCommonFavorites,
    sfCommonPrograms,
    sfCommonStartMenu,
    sfCommonStartup,
    sfConnections,
    sfControls,
    sfCookies,
    sfDesktop, // 12
    sfDesktopDir,
    sfDrives,
    sfFavorites,
    sfFonts,
    sfHistory,
    sfInternet,
    sfInternetCache,
    sfNetHood,
    sfNetwork,
    sfNone, // 22: no special folder
    sfPersonal,
    sfPrinters,
    sfPrintHood,
    sfPrograms,
    sfRecentFiles,
    sfSendTo,
    sfStartMenu,
    sfStartup,
    sfTemplates,
};

inline constexpr int kSpecialRootFolderCount = 32;

// The CSIDL of `folder`; sfNone maps to 0 (the desktop) where a folder is
// looked up, but means "none" to the setters.
int SpecialRootFolderCsidl(TStSpecialRootFolder folder);
