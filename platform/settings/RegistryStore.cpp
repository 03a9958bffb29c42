// SPDX-License-Identifier: MIT
#include "platform/settings/RegistryStore.h"

#include "platform/files/ByteBuffer.h"
#include "platform/files/ErrorText.h"
#include "platform/files/WholeFile.h"
#include "platform/settings/DurableCreate.h"
#include "platform/settings/RegistryErrors.h"

#include <cerrno>
#include <cstring>

namespace dw::platform {

namespace {

// How often a change is made anew when the file keeps changing under us.
constexpr int attemptsAgainstOtherWriters = 5;

struct FileOnDisk {
    bool exists = false;
    ByteBuffer bytes;
    FileIdentity identity;
};

void readFileOnDisk(const std::string& path, FileOnDisk& disk)
{
    const ReadOutcome read = readWholeFile(path, disk.bytes, disk.identity);
    disk.exists = read.ok();
    if (read.error == ENOENT)
        disk.bytes.clear();
    else if (!read.ok())
        throw ERegistryFileError::unreadable(path, describeError(read.error));
}

} // namespace

RegistryStore::RegistryStore(std::string filePath, const FileIo& io)
    : filePath_(std::move(filePath)), io_(io)
{
}

void RegistryStore::load()
{
    FileOnDisk disk;
    readFileOnDisk(filePath_, disk);
    file_ = RegistryFile::fromBytes(disk.bytes.view(), filePath_);
}

int RegistryStore::update(const std::function<bool(RegistryFile&)>& change)
{
    for (int attempt = 0; attempt < attemptsAgainstOtherWriters; ++attempt) {
        FileOnDisk disk;
        readFileOnDisk(filePath_, disk);
        RegistryFile file = RegistryFile::fromBytes(disk.bytes.view(), filePath_);
        if (!change(file)) {
            file_ = std::move(file);
            return 0;
        }
        ReplaceOutcome outcome;
        if (disk.exists) {
            outcome = replaceFileContents(filePath_, disk.identity, file.bytes(), io_);
        } else if (int error = makeFoldersDurably(parentFolderOf(filePath_))) {
            outcome = {ReplaceResult::CannotCreate, error};
        } else {
            outcome = createFileDurably(filePath_, file.bytes(), io_);
        }
        if (outcome.result == ReplaceResult::ChangedOnDisk)
            continue;
        if (outcome.result != ReplaceResult::Replaced)
            return outcome.error ? outcome.error : EIO;
        file_ = std::move(file);
        return 0;
    }
    return EBUSY;
}

KeyOpening RegistryStore::openKey(std::string_view key, bool create)
{
    KeyOpening opening;
    if (create) {
        opening.error = update([&](RegistryFile& file) { return opening.created = file.createKey(key); });
        if (opening.error) {
            opening.created = false;
            load();
        }
    } else {
        load();
    }
    opening.exists = file_->hasKey(key);
    return opening;
}

std::optional<RegistryValue> RegistryStore::readValue(std::string_view key, std::string_view name)
{
    if (!file_)
        load();
    return file_->value(key, name);
}

void RegistryStore::writeValue(std::string_view key, std::string_view name, const RegistryValue& value)
{
    const int error = update([&](RegistryFile& file) {
        file.setValue(key, name, value);
        return true;
    });
    if (error)
        throw ERegistryFileError::unwritable(filePath_, std::strerror(error));
}

} // namespace dw::platform
