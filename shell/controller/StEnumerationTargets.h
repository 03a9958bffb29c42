// SPDX-License-Identifier: MIT
#pragma once
// What the controller's enumeration fills: a folder tree (mode 0), a file
// list (mode 1) or a drop-down list of folders (mode 2). The shell controls
// implement these; the controller knows them only through these calls.

#include <memory>
#include <string>

class TStShellItem;
class TStShellFolder;

// A node of the tree, as the tree identifies it.
using TStTreeNodeHandle = void*;

struct TStNodeImages {
    int imageIndex = -1;
    int selectedIndex = -1;
    int overlay = -1; // 0 shared, 1 link, -1 none
};

class IStShellTreeTarget {
public:
    virtual ~IStShellTreeTarget() = default;
    virtual bool ShowFiles() const = 0;  // toShowFiles
    virtual bool ShowHidden() const = 0; // toShowHidden
    // Whether the tree has a filter hook (OnFilterItem) assigned.
    virtual bool HasFilterHook() const = 0;
    // The filter hook; `accept` comes in true.
    virtual void FilterItem(TStShellFolder& item, bool& accept) = 0;
    // Adds a child node named `text` under `parent`, puts `folder` into the
    // tree's folder list and stores its index as the node's data.
    virtual TStTreeNodeHandle AddChildNode(TStTreeNodeHandle parent, const std::string& text,
                                           std::unique_ptr<TStShellFolder> folder, const TStNodeImages& images) = 0;
    // Shows the expand button on `node` without its children being read.
    virtual void MarkHasChildren(TStTreeNodeHandle node) = 0;
};

class IStShellListTarget {
public:
    virtual ~IStShellListTarget() = default;
    virtual bool ShowHidden() const = 0;
    // Takes the item; false when the list did not accept it (it is freed).
    virtual bool AddItem(std::unique_ptr<TStShellItem> item) = 0;
    // A search animation centred over the list while a virtual folder is read.
    virtual void StartSearchAnimation() = 0;
    virtual void StopSearchAnimation() = 0;
};

class IStShellComboTarget {
public:
    virtual ~IStShellComboTarget() = default;
    virtual bool AddFolder(std::unique_ptr<TStShellFolder> folder) = 0;
};
