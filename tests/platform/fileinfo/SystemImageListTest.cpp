// SPDX-License-Identifier: MIT
#include "platform/fileinfo/SystemImageList.h"

#include <gtest/gtest.h>

using namespace dw::platform;

TEST(SystemImageList, SameKeySameIndexInBothLists)
{
    const int folder = SystemImageList::indexOf({"folder", IconKey::Fallback::Folder});
    const int open = SystemImageList::indexOf({"folder-open", IconKey::Fallback::FolderOpen});
    EXPECT_NE(folder, open);
    EXPECT_EQ(SystemImageList::indexOf({"folder", IconKey::Fallback::Folder}), folder);
    EXPECT_EQ(SystemImageList::keyAt(folder).themeName, "folder");
    EXPECT_GT(SystemImageList::count(), std::max(folder, open));
    EXPECT_EQ(SystemImageList::small().iconSize(), 16);
    EXPECT_EQ(SystemImageList::large().iconSize(), 32);
}

TEST(SystemImageList, IconsDrawWithoutAnIconTheme)
{
    // A theme name no theme has: Qt's own icon of the fallback kind is drawn.
    const int index = SystemImageList::indexOf({"no-such-icon-anywhere", IconKey::Fallback::Folder});
    const QPixmap small = SystemImageList::small().pixmap(index);
    const QPixmap large = SystemImageList::large().pixmap(index);
    EXPECT_FALSE(small.isNull());
    EXPECT_FALSE(large.isNull());
    EXPECT_LE(small.width(), 16);
    EXPECT_LE(large.width(), 32);
}

TEST(SystemImageList, IndexesOutsideTheListDrawNothing)
{
    EXPECT_TRUE(SystemImageList::small().icon(-1).isNull());
    EXPECT_TRUE(SystemImageList::small().icon(SystemImageList::count() + 5).isNull());
    EXPECT_EQ(SystemImageList::keyAt(-3).themeName, "");
}
