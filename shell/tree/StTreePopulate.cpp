// SPDX-License-Identifier: MIT
// Populating the tree from its root, and the first paint, which opens the
// start folder.

#include "shell/tree/StCustomShellTreeView.h"

#include "base/exceptions/SsBase.h"
#include "platform/fileinfo/FileInfo.h"
#include "platform/listing/LineCall.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StTreeListing.h"
#include "shell/tree/StStepSequence.h"

#include <QItemSelectionModel>
#include <QPaintEvent>

using namespace dw::platform;

void TStCustomShellTreeView::ClearNodes()
{
    m_listings.clear();
    m_opening.reset();
    m_currentFolder = nullptr;
    m_dropTargetNode = nullptr;
    m_rootIndex = -1;
    m_model->Clear();
}

namespace {

// Parses off this thread, waiting at most `patience`: a path on a volume
// that does not answer resolves to nothing rather than freezing the window.
IdListPtr ParseWithin(const std::string& path, std::chrono::milliseconds patience)
{
    IdListPtr result;
    const std::unique_ptr<LineCall> call = parseOffThread(path, [&result](IdListPtr parsed) {
        result = std::move(parsed);
    });
    call->waitFinished(patience);
    return result;
}

constexpr std::chrono::seconds kRootPatience{2};

} // namespace

IdListPtr TStCustomShellTreeView::RootIdList() const
{
    if (!m_rootFolder.empty()) {
        IdListPtr parsed = ParseWithin(m_rootFolder, kRootPatience);
        if (!parsed)
            throw ESsInvalidFolder(ssscInvalidFolder);
        return parsed;
    }
    IdListPtr special;
    if (failed(SHGetSpecialFolderLocation(SpecialRootFolderCsidl(m_specialRootFolder), special)) || !special)
        throw ESsShellError(ssscShellVersionError);
    return special;
}

// The start folder: StartInFolder parsed, else the special start folder
// (none standing for the desktop here); null when neither resolves.
IdListPtr TStCustomShellTreeView::StartFolderIdList() const
{
    if (!m_startInFolder.empty()) {
        // The folder last opened needs no parsing again.
        if (m_openedList && m_startInFolder == m_openedPath)
            return IdListPtr(ILClone(m_openedList.get()));
        return ParseWithin(m_startInFolder, kQuickListing);
    }
    IdListPtr special;
    if (failed(SHGetSpecialFolderLocation(SpecialRootFolderCsidl(m_specialStartInFolder), special)))
        return nullptr;
    return special;
}

TStTreeNode* TStCustomShellTreeView::AddRootNode(const ItemIdList* absolute)
{
    auto folder = std::make_unique<TStShellFolder>(absolute, m_controller);
    ShFileInfo info;
    TStNodeImages images;
    if (SHGetFileInfo(absolute, 0, info, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        images.imageIndex = images.selectedIndex = info.iIcon;
    if (folder->IsFolder() && SHGetFileInfo(absolute, 0, info, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON))
        images.selectedIndex = info.iIcon;
    std::unique_ptr<TStTreeNode> node = MakeNode(images, true);
    TStTreeNode* added = m_model->AddNode(nullptr, std::move(node), std::move(folder));
    m_rootIndex = added->folderIndex;
    return added;
}

void TStCustomShellTreeView::Populate()
{
    ClearNodes();
    if (!m_controller || !m_controller->GetDesktopFolder() || (m_rootFolder.empty() && m_specialRootFolder == sfNone))
        return;
    const IdListPtr rootList = RootIdList();
    TStTreeNode* root = AddRootNode(rootList.get());
    ReadChildren(*root, [this, root] {
        if (m_options.Contains(toExpandTopNode))
            expand(m_model->IndexOf(root));
        if (const IdListPtr start = StartFolderIdList())
            ExpandChainOf(start.get());
    });
}

// Expands, from the top down, every node on the chain of `absolute`'s
// ancestors (itself included) that is not expanded yet.
void TStCustomShellTreeView::ExpandChainOf(const ItemIdList* absolute)
{
    std::vector<IdListPtr> chain;
    for (IdListPtr list(ILClone(absolute)); list;) {
        chain.insert(chain.begin(), IdListPtr(ILClone(list.get())));
        if (!ILRemoveLastID(list.get()))
            break;
    }
    auto lists = std::make_shared<std::vector<IdListPtr>>(std::move(chain));
    TStStepSequence::Run(lists->size(), [this, lists](std::size_t at, std::function<void()> next) {
        TStTreeNode* node = NodeByIdList((*lists)[at].get());
        if (node && !isExpanded(m_model->IndexOf(node)))
            ExpandNode(*node, std::move(next));
        else
            next();
    });
}

void TStCustomShellTreeView::showEvent(QShowEvent* event)
{
    EnsurePopulated();
    QTreeView::showEvent(event);
}

void TStCustomShellTreeView::paintEvent(QPaintEvent* event)
{
    if (!m_startApplied)
        ApplyStartFolder();
    QTreeView::paintEvent(event);
}

void TStCustomShellTreeView::ApplyStartFolder()
{
    EnsurePopulated();
    m_startApplied = true;
    // An open at a path is under way (a level still being read): it selects
    // its folder when it gets there. Selecting the start folder (the desktop,
    // when none is set) first would hand the window a folder nobody chose;
    // the top node is made current without being selected, so that taking
    // the focus does not select it either.
    if (m_opening) {
        if (TStTreeNode* top = m_model->TopNode(); top && !currentIndex().isValid()) {
            const bool wasQuiet = m_selectingQuietly;
            m_selectingQuietly = true;
            selectionModel()->setCurrentIndex(m_model->IndexOf(top), QItemSelectionModel::NoUpdate);
            m_selectingQuietly = wasQuiet;
        }
        return;
    }
    const IdListPtr start = StartFolderIdList();
    if (!start) {
        HandFirstFolderToListView();
        return;
    }
    if (TStTreeNode* node = NodeByIdList(start.get())) {
        SelectNode(*node, true); // the change handling runs once, here
        RaiseChange(*node);
        scrollTo(m_model->IndexOf(node));
    } else if (TStTreeNode* top = m_model->TopNode()) {
        RaiseChange(*top);
    }
}
