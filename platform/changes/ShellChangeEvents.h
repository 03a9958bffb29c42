// SPDX-License-Identifier: MIT
#pragma once
// Numbers of the change-notification calls: the event bits of a change
// report, the sources a registration listens to and the kinds of item a
// report carries. The values are the desktop shell's own, so event words
// read the same everywhere.

namespace dw::platform {

// Event bits (a report's event word may carry several).
inline constexpr long SHCNE_RENAMEITEM = 0x00000001;
inline constexpr long SHCNE_CREATE = 0x00000002;
inline constexpr long SHCNE_DELETE = 0x00000004;
inline constexpr long SHCNE_MKDIR = 0x00000008;
inline constexpr long SHCNE_RMDIR = 0x00000010;
inline constexpr long SHCNE_MEDIAINSERTED = 0x00000020;
inline constexpr long SHCNE_MEDIAREMOVED = 0x00000040;
inline constexpr long SHCNE_DRIVEREMOVED = 0x00000080;
inline constexpr long SHCNE_DRIVEADD = 0x00000100;
inline constexpr long SHCNE_NETSHARE = 0x00000200;
inline constexpr long SHCNE_NETUNSHARE = 0x00000400;
inline constexpr long SHCNE_ATTRIBUTES = 0x00000800;
inline constexpr long SHCNE_UPDATEDIR = 0x00001000;
inline constexpr long SHCNE_UPDATEITEM = 0x00002000;
inline constexpr long SHCNE_SERVERDISCONNECT = 0x00004000;
inline constexpr long SHCNE_UPDATEIMAGE = 0x00008000;
inline constexpr long SHCNE_DRIVEADDGUI = 0x00010000;
inline constexpr long SHCNE_RENAMEFOLDER = 0x00020000;
inline constexpr long SHCNE_FREESPACE = 0x00040000;
inline constexpr long SHCNE_ASSOCCHANGED = 0x08000000;
inline constexpr long SHCNE_DISKEVENTS = 0x0002381F;
inline constexpr long SHCNE_GLOBALEVENTS = 0x0C0581E0;
inline constexpr long SHCNE_ALLEVENTS = 0x7FFFFFFF;

// Events that concern the whole machine rather than one item: delivered to
// every registration whose mask asks for them, whatever folder it watches.
inline constexpr long SHCNE_UNBOUNDEVENTS = SHCNE_ASSOCCHANGED | SHCNE_UPDATEIMAGE | SHCNE_FREESPACE;

// Sources a registration listens to.
inline constexpr int SHCNRF_InterruptLevel = 0x0001; // the file system itself (inotify, mount table)
inline constexpr int SHCNRF_ShellLevel = 0x0002;     // our own namespace operations (SHChangeNotify)
inline constexpr int SHCNRF_RecursiveInterrupt = 0x1000;
inline constexpr int SHCNRF_NewDelivery = 0x8000;

// What SHChangeNotify's item arguments are.
inline constexpr unsigned SHCNF_IDLIST = 0x0000; // absolute item id lists
inline constexpr unsigned SHCNF_DWORD = 0x0003;  // lists made by MakeDwordIdList
inline constexpr unsigned SHCNF_TYPE = 0x00FF;
inline constexpr unsigned SHCNF_FLUSH = 0x1000;
inline constexpr unsigned SHCNF_FLUSHNOWAIT = 0x2000;

} // namespace dw::platform
