#pragma once
// Reads a whole file into a reusable buffer, following symbolic links.

#include "platform/files/ByteBuffer.h"
#include "platform/files/ErrorText.h" // describeError
#include "platform/files/FileIdentity.h" // identityFromStat

#include <string>
#include <sys/stat.h>

namespace dw::platform {

struct ReadOutcome {
    int error = 0; // errno of the failure, 0 on success
    bool ok() const { return error == 0; }
};

// Fills `buffer` with the file's bytes and `identity` with what fstat said of
// the file that was read. A file that grows or shrinks while it is read is
// reported as failed (EAGAIN), so a half-read file is never converted.
ReadOutcome readWholeFile(const std::string& path, ByteBuffer& buffer, FileIdentity& identity);

// What the file at `path` (links followed) is now; false when it cannot be seen.
bool currentIdentity(const std::string& path, FileIdentity& identity);

} // namespace dw::platform
