// SPDX-License-Identifier: MIT
#pragma once
// What a file's name says of its type, from the shared MIME database's
// globs alone: never by reading the file, so a listing of a large folder or
// of a network share costs no more than reading the folder. Matching a name
// against the globs costs more than the rest of listing a file, so the
// answer is kept per name ending (everything after the first dot, in lower
// case, numbers before the last extension standing for any number; the
// whole name when it has no dot) and a folder of thousands of calendars
// matches its globs once. Safe on any thread.

#include <string>
#include <string_view>

namespace dw::platform {

struct FileNameType {
    std::string iconName; // freedesktop icon-theme name of the content type
    // Index of the type's description (fileTypeDescription); the same for
    // every file of one type, so views keep one text per type, not per file.
    int typeIndex = -1;
};

// `name` is a file name or a path; its bytes need not be UTF-8.
FileNameType fileTypeOfName(std::string_view name);

// The description of a type ("Plain text document"); empty for -1 and for
// the type of files whose name tells nothing.
std::string fileTypeDescription(int typeIndex);

} // namespace dw::platform
