// SPDX-License-Identifier: MIT
#pragma once
// One node of the folder tree. A node owns its children, kept in the
// tree's order; its folder lives in the tree's folder list, at the index the
// node keeps (an entry is nulled when its node goes, never removed, so the
// indexes of the others stay valid).

#include "platform/namespace/ChildListing.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct TStTreeNode {
    TStTreeNode* parent = nullptr;
    std::vector<std::unique_ptr<TStTreeNode>> children;

    int folderIndex = -1;         // into the tree's TStShellFolderList (its name is the node's text)
    int imageIndex = -1;
    int selectedIndex = -1;       // the open icon, shown while selected
    int overlay = -1;             // 0 shared, 1 link, -1 none
    std::optional<dw::platform::ChildSortKey> sortKey; // none: the desktop's CompareIDs orders it
    bool onRemovableDrive = false;

    bool hasChildrenMark = false; // shows an expand button before its children are read
    bool childrenRead = false;    // its children were listed (or are being listed)
    bool loading = false;         // a listing of its children is under way
    bool changedWhileLoading = false; // the listing under way may have read past a change: read again after it
    // Why its children could not be read; rare, so kept only when there is one.
    std::unique_ptr<std::string> errorText;

    void SetError(std::string text) { errorText = text.empty() ? nullptr : std::make_unique<std::string>(std::move(text)); }

    int row = 0;                  // its place among its siblings, kept by the model
};
