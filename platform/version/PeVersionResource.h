// SPDX-License-Identifier: MIT
#pragma once
// Finds the version resource (resource type 16, RT_VERSION) of a PE file
// (.exe, .dll): the first name and the first language under that type, as
// the platform's own version call takes it.
//
// Every offset, count and size read from the file is checked against the
// file's size before it is followed; a damaged file gives an answer of
// "malformed", never a read outside the file.

#include "platform/version/ByteSource.h"

#include <cstdint>
#include <vector>

namespace dw::platform {

enum class ResourceLookup {
    Found,
    NotThisFormat, // no "MZ" / "PE\0\0" signatures
    Malformed,     // the headers or the resource tree are damaged
    NoResource,    // a sound file without a version resource
};

struct PeVersionResult {
    ResourceLookup status = ResourceLookup::NotThisFormat;
    std::vector<std::uint8_t> block; // the resource's bytes when found
};

PeVersionResult FindPeVersionResource(const ByteSource& file);

} // namespace dw::platform
