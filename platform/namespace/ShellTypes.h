// SPDX-License-Identifier: MIT
#pragma once
// Values of the shell's namespace interface: results, attribute bits, name
// forms, enumeration flags and special-folder numbers. The shell items and
// the controller are written against these names, so they keep the values
// callers of the namespace already know.

#include "platform/changes/ShellChangeEvents.h" // event words of change reports

#include <cstdint>

namespace dw::platform {

using HResult = std::int32_t;
constexpr HResult S_OK = 0;
constexpr HResult S_FALSE = 1;
constexpr HResult E_FAIL = static_cast<HResult>(0x80004005u);
constexpr HResult E_INVALIDARG = static_cast<HResult>(0x80070057u);
constexpr HResult E_NOTIMPL = static_cast<HResult>(0x80004001u);
constexpr HResult E_ACCESSDENIED = static_cast<HResult>(0x80070005u);
constexpr HResult E_FILE_NOT_FOUND = static_cast<HResult>(0x80070002u);
constexpr HResult E_ALREADY_EXISTS = static_cast<HResult>(0x800700B7u);
constexpr HResult E_BAD_NAME = static_cast<HResult>(0x8007007Bu);
constexpr HResult E_NOT_SAME_DEVICE = static_cast<HResult>(0x80070011u);
constexpr HResult E_DISK_FULL = static_cast<HResult>(0x80070070u);
constexpr HResult E_ABORT = static_cast<HResult>(0x80004004u); // cancelled by the user
// Results of transfers that the shell's own codes do not name.
constexpr HResult E_INSIDE_SOURCE = static_cast<HResult>(0x80040201u); // destination lies in the item
constexpr HResult E_SOURCE_KEPT = static_cast<HResult>(0x80040202u);   // moved by copying, original not all removed
constexpr HResult E_NO_TRASH = static_cast<HResult>(0x80040203u);      // the item's volume has no usable trash
constexpr HResult E_NO_ANSWER = static_cast<HResult>(0x80040204u);     // its disk did not answer; nothing was done
constexpr HResult E_ANSWER_PENDING = static_cast<HResult>(0x80040205u); // its disk stopped answering while at work
constexpr bool succeeded(HResult result) { return result >= 0; }
constexpr bool failed(HResult result) { return result < 0; }

using SfgaoFlags = std::uint32_t;
constexpr SfgaoFlags SFGAO_CANCOPY = 0x00000001;
constexpr SfgaoFlags SFGAO_CANMOVE = 0x00000002;
constexpr SfgaoFlags SFGAO_CANLINK = 0x00000004;
constexpr SfgaoFlags SFGAO_CANRENAME = 0x00000010;
constexpr SfgaoFlags SFGAO_CANDELETE = 0x00000020;
constexpr SfgaoFlags SFGAO_HASPROPSHEET = 0x00000040;
constexpr SfgaoFlags SFGAO_DROPTARGET = 0x00000100;
constexpr SfgaoFlags SFGAO_LINK = 0x00010000;
constexpr SfgaoFlags SFGAO_SHARE = 0x00020000;
constexpr SfgaoFlags SFGAO_READONLY = 0x00040000;
constexpr SfgaoFlags SFGAO_HIDDEN = 0x00080000;
constexpr SfgaoFlags SFGAO_VALIDATE = 0x01000000;
constexpr SfgaoFlags SFGAO_REMOVABLE = 0x02000000;
constexpr SfgaoFlags SFGAO_COMPRESSED = 0x04000000;
constexpr SfgaoFlags SFGAO_FOLDER = 0x20000000;
constexpr SfgaoFlags SFGAO_FILESYSTEM = 0x40000000;
constexpr SfgaoFlags SFGAO_HASSUBFOLDER = 0x80000000;

// Name forms of GetDisplayNameOf / SetNameOf.
using ShgdnFlags = std::uint32_t;
constexpr ShgdnFlags SHGDN_NORMAL = 0x0000;
constexpr ShgdnFlags SHGDN_INFOLDER = 0x0001;
constexpr ShgdnFlags SHGDN_FOREDITING = 0x1000;
constexpr ShgdnFlags SHGDN_FORADDRESSBAR = 0x4000;
constexpr ShgdnFlags SHGDN_FORPARSING = 0x8000;

// EnumObjects flags.
using ShcontfFlags = std::uint32_t;
constexpr ShcontfFlags SHCONTF_FOLDERS = 0x0020;
constexpr ShcontfFlags SHCONTF_NONFOLDERS = 0x0040;
constexpr ShcontfFlags SHCONTF_INCLUDEHIDDEN = 0x0080;

// Special folder numbers.
constexpr int CSIDL_DESKTOP = 0;
constexpr int CSIDL_INTERNET = 1;
constexpr int CSIDL_PROGRAMS = 2;
constexpr int CSIDL_CONTROLS = 3;
constexpr int CSIDL_PRINTERS = 4;
constexpr int CSIDL_PERSONAL = 5;
constexpr int CSIDL_FAVORITES = 6;
constexpr int CSIDL_STARTUP = 7;
constexpr int CSIDL_RECENT = 8;
constexpr int CSIDL_SENDTO = 9;
constexpr int CSIDL_BITBUCKET = 10;
constexpr int CSIDL_STARTMENU = 11;
constexpr int CSIDL_DESKTOPDIRECTORY = 16;
constexpr int CSIDL_DRIVES = 17;
constexpr int CSIDL_NETWORK = 18;
constexpr int CSIDL_NETHOOD = 19;
constexpr int CSIDL_FONTS = 20;
constexpr int CSIDL_TEMPLATES = 21;
constexpr int CSIDL_COMMON_STARTMENU = 22;
constexpr int CSIDL_COMMON_PROGRAMS = 23;
constexpr int CSIDL_COMMON_STARTUP = 24;
constexpr int CSIDL_COMMON_DESKTOPDIRECTORY = 25;
constexpr int CSIDL_APPDATA = 26;
constexpr int CSIDL_PRINTHOOD = 27;
constexpr int CSIDL_ALTSTARTUP = 29;
constexpr int CSIDL_COMMON_ALTSTARTUP = 30;
constexpr int CSIDL_COMMON_FAVORITES = 31;
constexpr int CSIDL_INTERNET_CACHE = 32;
constexpr int CSIDL_COOKIES = 33;
constexpr int CSIDL_HISTORY = 34;
constexpr int CSIDL_CONNECTIONS = 49;

enum class DriveType : std::uint8_t {
    Unknown = 0,
    NoRootDir = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

} // namespace dw::platform
