// SPDX-License-Identifier: MIT
// The settings file on disk: made when missing, never written when damaged,
// and never left half written by a full disk or a change from elsewhere.

#include "platform/settings/DurableCreate.h"
#include "tests/support/IsolatedRun.h"
#include "platform/settings/RegistryErrors.h"
#include "platform/settings/RegistryStore.h"
#include "platform/settings/SettingsLocations.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sys/mount.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dw::platform;
using dw::test::listNames;
using dw::test::readFile;
using dw::test::writeFile;

namespace {

const std::string header = "Windows Registry Editor Version 5.00\n\n";

class RegistryStoreOnDisk : public ::testing::Test {
protected:
    dw::test::TempFolder home;
    fs::path folder = home / "config/datewright-converter";
    fs::path file = folder / "current-user.reg";

    void writeSettings(const std::string& text)
    {
        fs::create_directories(folder);
        writeFile(file, text);
    }
};

// Mounts a small tmpfs on a folder for the test's life; skips without root.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const fs::path& at, const char* options) : at_(at)
    {
        fs::create_directories(at);
        mounted_ = ::mount("dwtest", at.c_str(), "tmpfs", 0, options) == 0;
    }
    ~SmallFileSystem()
    {
        if (mounted_)
            ::umount2(at_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    bool makeReadOnly() const
    {
        return ::mount("dwtest", at_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    fs::path at_;
    bool mounted_ = false;
};

TEST_F(RegistryStoreOnDisk, AMissingKeyIsWrittenWithItsPrivateFolderAndNothingElse)
{
    RegistryStore store(file.string());
    const KeyOpening opening = store.openKey("Software\\Quillfen", true);
    EXPECT_TRUE(opening.exists);
    EXPECT_TRUE(opening.created);
    EXPECT_EQ(readFile(file), header + "[Software\\Quillfen]\n");
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
    EXPECT_EQ(listNames(folder), "current-user.reg;");

    writeSettings(header + "; by hand\n[Software\\Quillfen\\Datewright 2]\n\"A\"=\"1\"\n");
    EXPECT_FALSE(store.openKey("Software\\Quillfen", true).created);
    EXPECT_EQ(readFile(file), header + "; by hand\n[Software\\Quillfen\\Datewright 2]\n\"A\"=\"1\"\n");
    EXPECT_EQ(store.readValue("Software\\Quillfen\\Datewright 2", "A"), RegistryValue::string("1"));
}

TEST_F(RegistryStoreOnDisk, ADamagedFileIsNeverWrittenAndItsLineIsNamed)
{
    const std::string damaged = header + "[Other]\n\"A\"=\"unfinished\n";
    writeSettings(damaged);
    RegistryStore store(file.string());
    try {
        store.openKey("Software\\Quillfen", true);
        FAIL() << "a damaged file was taken";
    } catch (const ERegistryFileError& error) {
        EXPECT_EQ(error.path(), file.string());
        EXPECT_EQ(error.line(), 4u);
        EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos);
    }
    EXPECT_THROW(store.writeValue("Other", "A", RegistryValue::string("x")), ERegistryFileError);
    EXPECT_EQ(readFile(file), damaged);
    EXPECT_EQ(listNames(folder), "current-user.reg;");

    fs::create_directories(folder / "folder.reg");
    try {
        RegistryStore((folder / "folder.reg").string()).openKey("Software\\Quillfen", true);
        FAIL() << "a folder was taken for settings";
    } catch (const ERegistryFileError& error) {
        EXPECT_EQ(error.line(), 0u);
        EXPECT_STREQ(error.what(), ("Cannot read the settings file " + (folder / "folder.reg").string()
                                    + ": Is a directory").c_str());
    }
}

TEST_F(RegistryStoreOnDisk, AChangeMadeMeanwhileByAnotherProgramIsKept)
{
    writeSettings(header + "[A]\n");
    bool meddled = false;
    FileIo io = systemFileIo();
    io.pwrite = [&](int fd, const void* data, std::size_t size, off_t offset) {
        if (!meddled) {
            meddled = true;
            writeFile(file, header + "[A]\n\"theirs\"=\"kept\"\n");
        }
        return ::pwrite(fd, data, size, offset);
    };
    RegistryStore store(file.string(), io);
    store.writeValue("A", "ours", RegistryValue::string("added"));
    EXPECT_EQ(readFile(file), header + "[A]\n\"theirs\"=\"kept\"\n\"ours\"=\"added\"\n");
}

TEST_F(RegistryStoreOnDisk, MakingTheFileNeverOverwritesOneThatAppearedMeanwhile)
{
    writeSettings("theirs");
    const ReplaceOutcome outcome = createFileDurably(file.string(), header);
    EXPECT_EQ(outcome.result, ReplaceResult::ChangedOnDisk);
    EXPECT_EQ(readFile(file), "theirs");

    fs::remove(file);
    ASSERT_EQ(createFileDurably(file.string(), header).result, ReplaceResult::Replaced);
    EXPECT_EQ(readFile(file), header);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(listNames(folder), "current-user.reg;");
}

TEST_F(RegistryStoreOnDisk, ALinkedFileStaysALinkAndOddPathsReadBack)
{
    writeSettings("");
    fs::rename(file, home / "dotfiles.reg");
    fs::create_symlink(home / "dotfiles.reg", file);
    const std::string odd = "/home/\xC3\x85sa/Cal, \"2024\" \\ back\\slash/";
    RegistryStore(file.string()).writeValue("K", "Dir", RegistryValue::string(odd));
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(RegistryStore(file.string()).readValue("K", "Dir"), RegistryValue::string(odd));
}

// Writes into `path` until the disk is full.
void fillUp(const fs::path& path)
{
    FILE* filler = std::fopen(path.c_str(), "ab");
    ASSERT_NE(filler, nullptr);
    const std::string block(1024, 'f');
    while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
    }
    std::fclose(filler);
}

TEST_F(RegistryStoreOnDisk, AFullDiskWhileMakingTheKeyLosesNothing)
{
    SmallFileSystem disk(folder, "size=16k");
    if (!disk.mounted()) {
        if (dw::test::RanWithMountsOfItsOwn())
            return;
        GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    }
    const std::string original = header + "[Other]\n\"Big\"=\"" + std::string(9000, 'b') + "\"\n";
    writeFile(file, original);
    fillUp(folder / "filler");

    RegistryStore store(file.string());
    KeyOpening opening = store.openKey("Software\\Quillfen", true);
    EXPECT_FALSE(opening.exists);
    EXPECT_EQ(opening.error, ENOSPC);
    EXPECT_EQ(readFile(file), original);
    EXPECT_EQ(listNames(folder), "current-user.reg;filler;");
    EXPECT_EQ(store.readValue("Other", "Big"), RegistryValue::string(std::string(9000, 'b')));

    fs::remove(file);
    fillUp(folder / "filler");
    opening = store.openKey("Software\\Quillfen", true);
    EXPECT_NE(opening.error, 0);
    EXPECT_EQ(listNames(folder), "filler;");
}

TEST_F(RegistryStoreOnDisk, AReadOnlyFolderIsStillRead)
{
    SmallFileSystem disk(folder, "size=64k");
    writeSettings(header + "[Other]\n\"A\"=\"1\"\n");
    if (disk.mounted() ? !disk.makeReadOnly() : dw::test::runningAsRoot()) {
        if (!disk.mounted() && dw::test::RanWithMountsOfItsOwn())
            return;
        GTEST_SKIP() << "cannot make a read-only folder here";
    }
    if (!disk.mounted())
        fs::permissions(folder, fs::perms(0555));
    RegistryStore store(file.string());
    const KeyOpening opening = store.openKey("Software\\Quillfen", true);
    EXPECT_FALSE(opening.exists);
    EXPECT_NE(opening.error, 0);
    EXPECT_EQ(store.readValue("Other", "A"), RegistryValue::string("1"));
    EXPECT_EQ(readFile(file), header + "[Other]\n\"A\"=\"1\"\n");
}

TEST(SettingsLocations, FollowTheEnvironmentWithItsDefaults)
{
    std::map<std::string, std::string> variables = {{"HOME", "/home/ann"}};
    const EnvironmentLookup lookup = [&](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    };
    EXPECT_EQ(userSettingsFilePath(lookup), "/home/ann/.config/datewright-converter/current-user.reg");
    EXPECT_EQ(winePrefixPath(lookup), "/home/ann/.wine");
    variables["XDG_CONFIG_HOME"] = "relative/is/ignored";
    EXPECT_EQ(userSettingsFilePath(lookup), "/home/ann/.config/datewright-converter/current-user.reg");
    variables["XDG_CONFIG_HOME"] = "/cfg";
    variables["WINEPREFIX"] = "/games/prefix";
    EXPECT_EQ(userSettingsFilePath(lookup), "/cfg/datewright-converter/current-user.reg");
    EXPECT_EQ(winePrefixPath(lookup), "/games/prefix");
}

} // namespace
