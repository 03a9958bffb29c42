// SPDX-License-Identifier: MIT
#pragma once
// What the Windows file backend shares: names between the engine's UTF-8 and
// Windows' UTF-16, errors in the errno terms the engine uses, and opening
// relative to a folder handle.

#include "platform/files/FileDescriptor.h"

#include <cstdint>
#include <string>

namespace dw::platform::win {

// UTF-8 to UTF-16 and back. Lone surrogates, which Windows allows in names,
// travel as their three-byte encodings (as WTF-8 does), so every name keeps
// its exact units both ways.
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);

// The errno meaning of a Windows error: a sharing violation is EBUSY (held by
// another program), a full disk ENOSPC, and so on.
int errnoFromWin32(unsigned long error);
int errnoFromStatus(long status);

// Opens `name` (no separators) inside the folder `root` with NtCreateFile:
// `disposition` and `options` as NtCreateFile takes them. 0 or errno.
int openRelative(NativeFile root, const std::wstring& name, unsigned long access, unsigned long share,
                 unsigned long disposition, unsigned long options, NativeFile& opened,
                 unsigned long attributes = 0);

// The full path of an open file or folder, in the \\?\ form.
int finalPath(NativeFile file, std::wstring& path);

// Under Wine, whose emulation leaves a few things undone that a real Windows does.
bool runningUnderWine();

} // namespace dw::platform::win
