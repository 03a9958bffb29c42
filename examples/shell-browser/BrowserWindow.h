// SPDX-License-Identifier: MIT
#pragma once
// A folder tree beside a file list that shows the folder selected in it,
// the path of that folder above them and the number of its items below.

#include <shell/list/StShellListView.h>
#include <shell/tree/StShellTreeView.h>

#include <QLabel>
#include <QMainWindow>

#include <string>

class BrowserWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit BrowserWindow(QWidget* parent = nullptr);

    // Opens `path` in the tree; the list follows. Call once the window is
    // on the screen, as the tree reads its first level then.
    void Open(const std::string& path);

    TStShellTreeView& Tree() { return *m_tree; }
    TStShellListView& List() { return *m_list; }

private:
    void ShowPath();
    void ShowItemCount();

    // Children of the window (Qt parent ownership).
    QLabel* m_path;
    TStShellTreeView* m_tree;
    TStShellListView* m_list;
    QLabel* m_itemCount;
};
