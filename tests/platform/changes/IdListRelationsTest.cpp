// SPDX-License-Identifier: MIT
#include "platform/changes/ChangeRegistry.h"
#include "tests/platform/changes/TestIdLists.h"

#include <gtest/gtest.h>

namespace dw::platform {
namespace {

using testing::makeList;

TEST(IdListRelationsTest, CoversItselfAndDescendantsOnly)
{
    IdListPtr desktop = makeList({});
    IdListPtr docs = makeList({"home", "docs"});
    IdListPtr deep = makeList({"home", "docs", "a", "b"});
    IdListPtr sibling = makeList({"home", "docsx"});
    IdListPtr parent = makeList({"home"});

    EXPECT_TRUE(IdListCovers(docs.get(), docs.get()));
    EXPECT_TRUE(IdListCovers(docs.get(), deep.get()));
    EXPECT_TRUE(IdListCovers(desktop.get(), deep.get()));
    EXPECT_TRUE(IdListCovers(nullptr, deep.get()));
    EXPECT_FALSE(IdListCovers(docs.get(), sibling.get())) << "an id is compared whole, not as a name prefix";
    EXPECT_FALSE(IdListCovers(docs.get(), parent.get()));
    EXPECT_FALSE(IdListCovers(docs.get(), nullptr));
}

TEST(IdListRelationsTest, ParentMeansExactlyOneLevelUp)
{
    IdListPtr desktop = makeList({});
    IdListPtr home = makeList({"home"});
    IdListPtr docs = makeList({"home", "docs"});
    IdListPtr deep = makeList({"home", "docs", "a"});

    EXPECT_TRUE(IdListIsParentOf(home.get(), docs.get()));
    EXPECT_TRUE(IdListIsParentOf(desktop.get(), home.get()));
    EXPECT_FALSE(IdListIsParentOf(home.get(), deep.get()));
    EXPECT_FALSE(IdListIsParentOf(docs.get(), docs.get()));
    EXPECT_FALSE(IdListIsParentOf(deep.get(), docs.get()));
}

} // namespace
} // namespace dw::platform
