// SPDX-License-Identifier: MIT
#pragma once
// A tree target with no tree behind it: keeps every folder the controller's
// tree mode adds, files and hidden items included, and counts the nodes that
// were given an expand button. For tools that need what a folder tree would
// show without showing it.

#include "shell/controller/StEnumerationTargets.h"
#include "shell/items/StShellItemList.h"

class TStCollectingTreeTarget : public IStShellTreeTarget {
public:
    bool ShowFiles() const override { return true; }
    bool ShowHidden() const override { return true; }
    bool HasFilterHook() const override { return false; }
    void FilterItem(TStShellFolder&, bool&) override {}
    TStTreeNodeHandle AddChildNode(TStTreeNodeHandle, const std::string&, std::unique_ptr<TStShellFolder> folder,
                                   const TStNodeImages&) override
    {
        folders.Add(std::move(folder));
        return nullptr;
    }
    void MarkHasChildren(TStTreeNodeHandle) override { ++withChildren; }

    TStShellFolderList folders;
    int withChildren = 0;
};
