// SPDX-License-Identifier: MIT
#pragma once
// A folder tree over the fake namespace, shown offscreen, with what its
// events reported.

#include "platform/fakenamespace/FakeNamespace.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StShellTreeView.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tree_testing {

using namespace dw::platform;
using namespace dw::platform::fake;

class FakeTreeTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeNamespace> ns = std::make_shared<FakeNamespace>();
    ScopedShellNamespace scope{ns};
    FakeNode& home = ns->addFolder(ns->desktop(), "Home", "/home/ann");
    FakeNode& calendars = ns->addFolder(home, "Calendars", "/home/ann/Calendars");
    FakeNode& work = ns->addFolder(calendars, "Work", "/home/ann/Calendars/Work");
    FakeNode& music = ns->addFolder(home, "Music", "/home/ann/Music");
    std::unique_ptr<TStShellTreeView> tree;
    std::vector<std::string> selected; // paths of OnFolderSelected, in order

    void SetUp() override { ns->mapSpecialFolder(CSIDL_PERSONAL, home); }

    TStShellTreeView& makeTree(TStTreeOptions options = kDefaultTreeOptions)
    {
        tree = std::make_unique<TStShellTreeView>();
        tree->SetOptions(options);
        tree->OnFolderSelected = [this](QObject*, TStShellFolder* folder) {
            selected.push_back(folder ? folder->GetPath() : "<none>");
        };
        return *tree;
    }

    // Shows the tree and lets it paint once.
    void showAndPaint()
    {
        tree->show();
        tree->grab();
        dw::test::processEventsUntil([] { return false; }, 0, 20);
    }

    TStTreeNode* node(const FakeNode& fake) const { return tree->NodeByIdList(ns->absoluteOf(fake).get()); }
    QModelIndex indexOf(const FakeNode& fake) const { return tree->Model().IndexOf(node(fake)); }
    std::string selectedPath() const
    {
        const TStShellFolder* folder = tree->FolderOf(tree->SelectedNode());
        return folder ? folder->GetPath() : "<none>";
    }
    // The texts of the children of `fake`'s node, in the tree's order.
    std::vector<std::string> childTexts(const FakeNode& fake) const
    {
        std::vector<std::string> texts;
        if (const TStTreeNode* parent = node(fake))
            for (const auto& child : parent->children)
                texts.push_back(tree->Model().TextOf(*child));
        return texts;
    }
    // The folder's children: "aaa" first (a folder of a volume of its own,
    // with a gate of its own and a subfolder), then `count` more, "f0" on.
    // The folder gets a gate and a volume of its own too.
    FakeNode& fillWithFolders(FakeNode& folder, int count)
    {
        FakeNode& first = ns->addFolder(folder, "aaa", folder.parsingName + "/aaa");
        ns->addFolder(first, "inner", first.parsingName + "/inner");
        first.gate = std::make_shared<ListingGate>();
        first.volumeKey = "//server/aaa";
        for (int i = 0; i < count; ++i) {
            const std::string name = "f" + std::to_string(i);
            ns->addFolder(folder, name, folder.parsingName + "/" + name);
        }
        folder.gate = std::make_shared<ListingGate>();
        folder.volumeKey = "//server/" + folder.name;
        return first;
    }
    void waitWhileLoading()
    {
        dw::test::processEventsUntil([this] { return !tree->IsLoading(); }, 5000, 0);
    }
};

} // namespace tree_testing
