// SPDX-License-Identifier: MIT
#pragma once
// The current user's settings, standing in for the user's registry branch:
// keys and typed values kept in one file in the registry's export text (see
// RegExportParser.h), which the user may also write by hand.
//
// A file that cannot be read or does not follow the format is never
// written: every operation then throws ERegistryFileError and leaves it as
// it is. Changes are written durably (DurableCreate.h); when the file
// changes on disk between our reading and writing it, it is read again and
// the change made anew, so another program's edit is not lost.

#include "platform/files/FileIo.h"
#include "platform/settings/RegistryFile.h"
#include "platform/settings/RegistryValue.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace dw::platform {

struct KeyOpening {
    bool exists = false;  // the key is there now
    bool created = false; // we wrote it just now
    int error = 0;        // why a key that was to be created is not there
};

class RegistryStore {
public:
    explicit RegistryStore(std::string filePath, const FileIo& io = systemFileIo());

    const std::string& filePath() const { return filePath_; }

    // Reads the file (a missing file is a store without keys) and, with
    // `create`, writes the key to it when it is missing; its folder is made
    // when needed. A failed write is reported, not thrown: the store is
    // still read.
    KeyOpening openKey(std::string_view key, bool create);

    // The value as the file said when it was last read (read now if never).
    std::optional<RegistryValue> readValue(std::string_view key, std::string_view name);

    // Sets the value, making its key when needed; throws ERegistryFileError
    // when it cannot be written.
    void writeValue(std::string_view key, std::string_view name, const RegistryValue& value);

private:
    void load();
    // Applies `change` to the file as it is on disk and writes the result;
    // `change` answers false when there is nothing to write. 0 or errno.
    int update(const std::function<bool(RegistryFile&)>& change);

    std::string filePath_;
    const FileIo& io_;
    std::optional<RegistryFile> file_;
};

} // namespace dw::platform
