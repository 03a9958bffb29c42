// SPDX-License-Identifier: MIT
#include "platform/contextmenu/PropertiesDialog.h"

#include "NamespaceFixture.h"

#include <QLabel>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace dw::platform;
using namespace dw::platform::testing;

TEST(PropertiesDialog, FactsOfAFile)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/.notes.dw2", "0123456789");
    const ItemProperties facts = readItemProperties(file);
    EXPECT_EQ(facts.name, ".notes.dw2");
    EXPECT_EQ(facts.location.toStdString(), ns.home);
    EXPECT_TRUE(facts.size.contains("10 bytes")) << facts.size.toStdString();
    EXPECT_TRUE(facts.attributes.contains("hidden"));
    EXPECT_FALSE(facts.modified.isEmpty());
    EXPECT_FALSE(facts.type.isEmpty());
}

TEST(PropertiesDialog, FolderAndVanishedItem)
{
    TempNamespace ns;
    const std::string folder = ns.makeFolder("home/Calendars");
    const ItemProperties facts = readItemProperties(folder);
    EXPECT_EQ(facts.type, "Folder");
    EXPECT_EQ(facts.size, QString::fromUtf8("—"));
    EXPECT_EQ(readItemProperties(ns.home + "/gone").type, "(no longer exists)");
}

TEST(PropertiesDialog, OddNamesAreShownNotLost)
{
    TempNamespace ns;
    const std::string file = ns.makeFile(std::string("home/bad\xff name", 14));
    EXPECT_TRUE(readItemProperties(file).name.contains(QChar::ReplacementCharacter));
    EXPECT_FALSE(readItemProperties(file).modified.isEmpty()); // found by its exact bytes
}

TEST(PropertiesDialog, OnePagePerItem)
{
    TempNamespace ns;
    const std::string a = ns.makeFile("home/a.dw2");
    const std::string b = ns.makeFile("home/b.dw2");
    PropertiesDialog single({readItemProperties(a)}, nullptr);
    EXPECT_EQ(single.findChild<QTabWidget*>(), nullptr);
    PropertiesDialog both({readItemProperties(a), readItemProperties(b)}, nullptr);
    const auto* tabs = both.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), "b.dw2");
}
