// SPDX-License-Identifier: MIT
#pragma once
// The link between a folder tree and a file list that share a controller:
// the tree tells the list which folder to show, the list has the tree
// select the folder it opened. Each side knows the other only through
// these calls, kept in the controller's link fields.

class TStShellItem;

// The file list's side, called by the tree.
class IStShellListLink {
public:
    virtual ~IStShellListLink() = default;
    // The tree selected `folder`: the list shows it (nothing happens when it
    // shows it already).
    virtual void ShowFolderFromTree(const TStShellItem& folder) = 0;
    // Whether the list shows no folder yet: the tree's first paint then
    // hands it one.
    virtual bool ShowsNoFolder() const = 0;
    // Whether the list is having the tree select a folder right now: the
    // tree does not tell it back.
    virtual bool DrivesTreeSelection() const = 0;
};

// The folder tree's side, called by the list.
class IStShellTreeLink {
public:
    virtual ~IStShellTreeLink() = default;
    // Selects the node of `item`, opening the levels down to it unless
    // `onlyIfPresent`; the list is not told of this selection.
    virtual bool SelectFolder(const TStShellItem& item, bool onlyIfPresent) = 0;
};
