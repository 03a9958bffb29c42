// SPDX-License-Identifier: MIT
// The folder tree's side of its link with a file list: the tree and the
// list share one controller, a selected folder is shown in the list, and
// the first paint hands the first folder to a list that shows none. The
// list's side (opening a folder there selects its node here) comes through
// SelectFolder, which keeps the list from being told back.

#include "shell/tree/StCustomShellTreeView.h"

#include "shell/items/StShellFolder.h"
#include "shell/list/StCustomShellListView.h"
#include "shell/tree/StShellTreeModel.h"

TStCustomShellListView* TStCustomShellTreeView::GetListView() const
{
    return m_listView;
}

void TStCustomShellTreeView::SetListView(TStCustomShellListView* list)
{
    if (m_listView == list)
        return;
    UnlinkListView();
    m_listView = list;
    if (!list)
        return;
    if (m_controller) {
        list->SetController(m_controller); // the list takes the tree's
    } else {
        // The tree has none: it adopts the list's, owning it when the list did.
        m_ownedController = list->ReleaseController();
        m_controller = m_ownedController ? m_ownedController.get() : list->GetController();
        m_controller->SetTreeTarget(this);
    }
    m_controller->SetTreeLink(this);
}

void TStCustomShellTreeView::UnlinkListView()
{
    if (m_controller && m_controller->GetTreeLink() == this)
        m_controller->SetTreeLink(nullptr);
    m_listView = nullptr;
}

// A folder selected here is shown in the list, unless the list selected it
// itself: a file-system folder, or any other item the namespace calls a
// folder (Computer, Trash, a share).
void TStCustomShellTreeView::TellListView(TStShellFolder* folder)
{
    if (!m_listView || !folder || m_suppressListUpdate || m_loading || m_listView->DrivesTreeSelection())
        return;
    if (folder->IsFileFolder() || folder->IsFolder())
        m_listView->ShowFolderFromTree(*folder);
}

void TStCustomShellTreeView::HandFirstFolderToListView()
{
    if (!m_listView || !m_listView->ShowsNoFolder())
        return;
    if (const TStShellFolder* first = FolderOf(m_model->TopNode()))
        m_listView->ShowFolderFromTree(*first);
}
