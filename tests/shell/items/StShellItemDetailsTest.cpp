// SPDX-License-Identifier: MIT
#include "shell/controller/StShellController.h"
#include "shell/items/StFileDate.h"
#include "shell/items/StShellItem.h"

#include "platform/fakenamespace/FakeNamespace.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

using namespace dw::platform;
using namespace dw::platform::fake;

namespace {

class ShellItemDetailsTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeNamespace> ns = std::make_shared<FakeNamespace>();
    ScopedShellNamespace scope{ns};
    TStCustomShellController controller;
    QTemporaryDir dir;

    std::unique_ptr<TStShellItem> itemFor(const FakeNode& node)
    {
        return std::make_unique<TStShellItem>(ns->absoluteOf(node).get(), &controller);
    }
    std::string realPath(const std::string& name) const { return dir.path().toStdString() + "/" + name; }
};

std::int64_t localSeconds(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime).toSecsSinceEpoch();
}

} // namespace

TEST_F(ShellItemDetailsTest, FindDataGivesSizeTimeAndLetters)
{
    FakeNode& file = ns->addFile(ns->desktop(), "a.dw2", "/a.dw2", 1234);
    file.findData->attributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    file.findData->lastWriteSeconds = localSeconds(2024, 3, 5, 14, 30, 20);
    const auto item = itemFor(file);
    EXPECT_EQ(item->GetSize(), 1234);
    EXPECT_EQ(item->GetAttributeText(), "HRA");
    // 2024-03-05 14:30:20, packed: date (44 << 9 | 3 << 5 | 5), time (14 << 11 | 30 << 5 | 10).
    EXPECT_EQ(item->GetFileDate(), ((44u << 9 | 3u << 5 | 5u) << 16) | (14u << 11 | 30u << 5 | 10u));
    EXPECT_DOUBLE_EQ(item->GetModified(), 45356.0 + (14 * 3600 + 30 * 60 + 20) / 86400.0);
}

TEST_F(ShellItemDetailsTest, AttributeLettersComeInTheirFixedOrder)
{
    FakeNode& file = ns->addFile(ns->desktop(), "all", "/all");
    file.findData->attributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_READONLY
        | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN;
    EXPECT_EQ(itemFor(file)->GetAttributeText(), "HSRCA");
}

TEST_F(ShellItemDetailsTest, FolderThroughFindDataHasSizeZeroAndIsAFileFolder)
{
    // A file-system item the namespace did not call a folder, whose find data says directory.
    FakeNode& odd = ns->addFile(ns->desktop(), "dir", "/dir", 4096);
    odd.findData->attributes = FILE_ATTRIBUTE_DIRECTORY;
    const auto item = itemFor(odd);
    EXPECT_FALSE(item->IsFileFolder());
    EXPECT_EQ(item->GetSize(), 0);
    EXPECT_TRUE(item->IsFileFolder());
    EXPECT_FALSE(item->IsFile());
}

TEST_F(ShellItemDetailsTest, FallbackSearchesThePathWhenFindDataFails)
{
    const std::string file = realPath("real.dw2");
    std::ofstream(file) << "12345678";
    FakeNode& node = ns->addFile(ns->desktop(), "real.dw2", file);
    node.findData.reset();
    const auto item = itemFor(node);
    EXPECT_EQ(item->GetSize(), 8);
    EXPECT_NE(item->GetFileDate(), 0u);
    EXPECT_EQ(item->GetAttributeText(), "A");

    FakeNode& folder = ns->addFolder(ns->desktop(), "tmp", dir.path().toStdString());
    folder.findData.reset();
    EXPECT_EQ(itemFor(folder)->GetSize(), 0);

    FakeNode& gone = ns->addFile(ns->desktop(), "gone", realPath("gone"));
    gone.findData.reset();
    const auto missing = itemFor(gone);
    EXPECT_EQ(missing->GetSize(), 0);
    EXPECT_EQ(missing->GetAttributeText(), "");
}

TEST_F(ShellItemDetailsTest, LargeFilesKeepTheirWholeSize)
{
    FakeNode& big = ns->addFile(ns->desktop(), "big.iso", "/big.iso", 5'000'000'000ULL);
    EXPECT_EQ(itemFor(big)->GetSize(), 5'000'000'000LL);
}

TEST_F(ShellItemDetailsTest, VirtualItemsHaveNoFileDetails)
{
    FakeNode& printers = ns->addFolder(ns->desktop(), "Printers", "printers:///", false);
    printers.findData = FindData{0, 99, 0, 0, "Printers"};
    EXPECT_EQ(itemFor(printers)->GetSize(), -1);
}

TEST(StFileDate, TimesBefore1980HaveNoPackedDateButAModifiedTime)
{
    const std::int64_t seconds = localSeconds(1975, 6, 1, 12, 0, 0);
    EXPECT_EQ(PackedFileDateFromUnixTime(seconds), 0u);
    EXPECT_DOUBLE_EQ(DateTimeFromUnixTime(seconds), 27546.5); // 1975-06-01 noon
    EXPECT_EQ(DateTimeFromPackedFileDate(0), 0.0);
    EXPECT_EQ(DateTimeFromPackedFileDate(0xFFFFFFFF), 0.0); // month 15
}
