// SPDX-License-Identifier: MIT
// The Windows file backend under the conversion: what a calendar keeps, and
// what another program's handle on it means.

#include "app/convert/ConversionRun.h"
#include "platform/files/DirectoryListing.h"
#include "platform/files/Folder.h"
#include "tests/app/convert/RunSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using namespace dw::test;
using dw::convert::ConversionError;
using dw::convert::ConversionRun;

namespace {

bool underWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::uint64_t fileIdOf(const fs::path& path)
{
    HANDLE file = CreateFileW(path.wstring().c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
}

std::int32_t convert(const TempFolder& folder, const std::vector<std::string>& names, Recorder& recorder)
{
    ConversionRun run({}, &recorder);
    return run.convert(folder.prefix(), selected(names));
}

TEST(WindowsFiles, ACalendarAnotherProgramHasOpenForWritingIsLeftAsItWas)
{
    TempFolder folder;
    writeFile(folder / "busy.dw2", needsAlign);
    writeFile(folder / "free.dw2", needsAlign);
    HANDLE writer = CreateFileW((folder / "busy.dw2").wstring().c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    Recorder recorder;
    EXPECT_EQ(convert(folder, {"busy.dw2", "free.dw2"}, recorder), 1);
    CloseHandle(writer);
    EXPECT_EQ(recorder.reasons, std::vector<std::string>{"open for writing in another program; left as it was"});
    EXPECT_EQ(readFile(folder / "busy.dw2"), needsAlign);
    EXPECT_EQ(readFile(folder / "free.dw2"), aligned);
    EXPECT_EQ(hiddenNames(folder.path().string()), "");
}

TEST(WindowsFiles, WhileAConversionRunsNoOtherProgramMayWriteTheCalendar)
{
    // The calendar's handle shuts writers out from the read to the swap: a
    // writer that comes while it is converted gets a sharing violation.
    struct TryWriting : Recorder {
        fs::path calendar;
        DWORD error = 0;
        // Asked before each file and while it is read: the last answer
        // comes while a.dw2 is held in the batch.
        bool stopRequested() override
        {
            if (!calendar.empty()) {
                HANDLE writer = CreateFileW(calendar.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, 0, nullptr);
                error = writer == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS + 1;
                if (writer != INVALID_HANDLE_VALUE)
                    CloseHandle(writer);
            }
            return false;
        }
    };
    TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    writeFile(folder / "b.dw2", needsAlign);
    TryWriting recorder;
    recorder.calendar = folder / "a.dw2";
    ConversionRun run({}, &recorder);
    // a.dw2 waits in the batch, with its handle open, when b.dw2 is asked about.
    EXPECT_EQ(run.convert(folder.prefix(), selected({"a.dw2", "b.dw2"})), 2);
    EXPECT_EQ(recorder.error, DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(readFile(folder / "a.dw2"), aligned);
}

TEST(WindowsFiles, AConvertedCalendarIsANewFileWithTheOldOnesAttributesAndNothingIsLeftBeside)
{
    TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    const fs::path calendar = folder / "a.dw2";
    ASSERT_TRUE(SetFileAttributesW(calendar.wstring().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    const std::uint64_t before = fileIdOf(calendar);
    Recorder recorder;
    EXPECT_EQ(convert(folder, {"a.dw2"}, recorder), 1);
    EXPECT_EQ(readFile(calendar), aligned);
    EXPECT_NE(fileIdOf(calendar), before) << "not swapped in as a new file";
    EXPECT_TRUE(GetFileAttributesW(calendar.wstring().c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(hiddenNames(folder.path().string()), "");
}

TEST(WindowsFiles, AReadOnlyCalendarCannotBeCreated)
{
    TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    ASSERT_TRUE(SetFileAttributesW((folder / "a.dw2").wstring().c_str(), FILE_ATTRIBUTE_READONLY));
    Recorder recorder;
    try {
        convert(folder, {"a.dw2"}, recorder);
        ADD_FAILURE() << "a read-only calendar was written";
    } catch (const ConversionError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + folder.prefix() + "a.dw2");
    }
    SetFileAttributesW((folder / "a.dw2").wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(readFile(folder / "a.dw2"), needsAlign);
}

TEST(WindowsFiles, EveryNameOfACalendarWithHardLinksSeesTheNewContents)
{
    TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    ASSERT_TRUE(CreateHardLinkW((folder / "other.dw2").wstring().c_str(), (folder / "a.dw2").wstring().c_str(), nullptr));
    Recorder recorder;
    EXPECT_EQ(convert(folder, {"a.dw2"}, recorder), 1);
    EXPECT_EQ(readFile(folder / "other.dw2"), aligned);
    EXPECT_EQ(fileIdOf(folder / "a.dw2"), fileIdOf(folder / "other.dw2"));
    EXPECT_EQ(hiddenNames(folder.path().string()), "");
}

void createWithContents(const std::wstring& path, const std::string& contents)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
    DWORD wrote = 0;
    WriteFile(file, contents.data(), DWORD(contents.size()), &wrote, nullptr);
    CloseHandle(file);
}

std::string contentsOf(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(cannot be opened)";
    char bytes[200] = {};
    DWORD got = 0;
    ReadFile(file, bytes, sizeof bytes, &got, nullptr);
    CloseHandle(file);
    return std::string(bytes, got);
}

TEST(WindowsFiles, NamesWithUnpairedSurrogatesKeepThem)
{
    if (underWine())
        GTEST_SKIP() << "Wine keeps names in the Linux file system, which cannot hold a lone surrogate; a real Windows can";
    TempFolder folder;
    const std::wstring odd = folder.path().wstring() + L"\\cal\xD800x.dw2";
    createWithContents(odd, needsAlign);
    Recorder recorder;
    ConversionRun run({}, &recorder);
    int error = 0;
    const auto top = dw::platform::Folder::open(folder.path().string(), error);
    ASSERT_TRUE(top);
    std::string oddName;
    for (const auto& entry : dw::platform::listDirectory(top->fd()).entries)
        if (entry.name.rfind("cal", 0) == 0)
            oddName = entry.name;
    run.convertIn(top, folder.prefix(), {oddName});
    run.finish();
    EXPECT_EQ(run.filesWritten(), 1);
    EXPECT_EQ(contentsOf(odd), aligned) << "the name did not keep its lone surrogate";
}

TEST(WindowsFiles, CalendarsInFoldersBeyondMaxPathAreConverted)
{
    TempFolder folder;
    std::wstring deep = L"\\\\?\\" + folder.path().wstring();
    std::string shown;
    while (deep.size() < 400) {
        deep += L"\\folder-of-calendars";
        shown += "folder-of-calendars/";
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    createWithContents(deep + L"\\deep.dw2", needsAlign);
    Recorder recorder;
    ConversionRun run({}, &recorder);
    EXPECT_EQ(run.convert(folder.prefix() + shown, selected({"deep.dw2"})), 1);
    EXPECT_EQ(contentsOf(deep + L"\\deep.dw2"), aligned);
}

TEST(WindowsFiles, ReplacingKeepsTheCalendarsAccessControlList)
{
    if (underWine())
        GTEST_SKIP() << "Wine keeps no access control lists through ReplaceFileW; a real Windows does";
    TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    Recorder recorder;
    EXPECT_EQ(convert(folder, {"a.dw2"}, recorder), 1);
}

} // namespace
