// SPDX-License-Identifier: MIT
#include "shell/items/StShellItemList.h"

#include "platform/fakenamespace/FakeNamespace.h"
#include "shell/controller/StShellController.h"

#include <gtest/gtest.h>

using namespace dw::platform;

namespace {

int g_destroyed = 0;

class CountedFolder : public TStShellFolder {
public:
    explicit CountedFolder(TStCustomShellController* controller) : TStShellFolder(controller) {}
    ~CountedFolder() override { ++g_destroyed; }
};

} // namespace

TEST(ShellLists, IndexOutsideEitherListAnswersNil)
{
    TStCustomShellController controller;
    TStShellItemList items;
    TStShellFolderList folders;
    items.Add(std::make_unique<TStShellItem>(&controller));
    folders.Add(std::make_unique<TStShellFolder>(&controller));
    EXPECT_NE(items.Items(0), nullptr);
    EXPECT_NE(folders.Items(0), nullptr);
    for (int index : {1, 2, 1000, -1}) {
        EXPECT_EQ(items.Items(index), nullptr) << index;
        EXPECT_EQ(folders.Items(index), nullptr) << index;
    }
}

TEST(ShellLists, AddSetsTheOwnerAndClearFreesEveryElement)
{
    TStCustomShellController controller;
    g_destroyed = 0;
    {
        TStShellFolderList folders;
        EXPECT_EQ(folders.Add(std::make_unique<CountedFolder>(&controller)), 0);
        EXPECT_EQ(folders.Add(std::make_unique<CountedFolder>(&controller)), 1);
        EXPECT_EQ(folders.Items(1)->GetOwnerList(), &folders);
        folders.Clear();
        EXPECT_EQ(g_destroyed, 2);
        EXPECT_EQ(folders.Count(), 0);
        folders.Add(std::make_unique<CountedFolder>(&controller));
    }
    EXPECT_EQ(g_destroyed, 3); // the destructor clears
}

TEST(ShellLists, NulledEntriesKeepLaterIndexesValid)
{
    TStCustomShellController controller;
    g_destroyed = 0;
    TStShellFolderList folders;
    folders.Add(std::make_unique<CountedFolder>(&controller));
    folders.Add(std::make_unique<CountedFolder>(&controller));
    TStShellFolder* second = folders.Items(1);
    folders.Put(0, nullptr);
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(folders.Count(), 2);
    EXPECT_EQ(folders.Items(0), nullptr);
    EXPECT_EQ(folders.Items(1), second);
    folders.Put(5, std::make_unique<CountedFolder>(&controller)); // outside: dropped, nothing leaks
    EXPECT_EQ(folders.Count(), 2);
}
