// SPDX-License-Identifier: MIT
#pragma once
// Parsing names of network shares, "//SERVER/SHARE" and what lies below it,
// matched against the volume table alone: the share's server is never asked
// (it may not answer), and neither is its mount point.

#include "platform/namespace/MountTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dw::platform {

// "//SERVER/SHARE".
std::string uncName(const NetworkShareName& share);

// The names a mounted share goes by. Two mounts of one export would both be
// "//SERVER/SHARE": each of them then takes its mount point's name too, as
// "//SERVER/SHARE (NAME)" and "SHARE (NAME) on SERVER", or the mount point's
// whole path where the names do not tell them apart either. A share mounted
// once keeps its plain names.
struct ShareNames {
    std::string parsing; // exact bytes
    std::string shown;   // text for people
};
// Nothing for a volume that is no network share.
std::optional<ShareNames> shareNamesOf(const std::vector<Volume>& volumes, const Volume& volume);

struct ShareMatch {
    const Volume* volume = nullptr; // the share's mount
    std::string_view rest;          // what follows its name: "" or "/..."
};

// The mounted share whose name `name` starts with (the longest, whole
// components only); nothing when no share's name does. A share answers to
// "//SERVER/SHARE" (the first of several mounts of one export, in the
// table's order) and to the names with its mount point's name or path.
std::optional<ShareMatch> matchShareName(const std::vector<Volume>& volumes, std::string_view name);

// The local path `name` stands for: a share's name, or a path below it,
// becomes the same path below the share's mount point; an absolute local
// path is itself. Nothing for anything else (a relative path, a virtual
// folder's name, a share not mounted, "." or ".." below a share).
std::optional<std::string> localPathOfParsingName(const std::vector<Volume>& volumes, const std::string& name);

} // namespace dw::platform
