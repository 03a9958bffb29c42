// SPDX-License-Identifier: MIT
// Selection, the folder-selected event, and opening a folder by its path.

#include "shell/tree/StCustomShellTreeView.h"

#include "base/exceptions/SsBase.h"
#include "platform/listing/LineCall.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StTreeListing.h"
#include "shell/tree/StStepSequence.h"

#include <algorithm>

using namespace dw::platform;

// One OpenAtPath under way: the path, then the list it parsed to and the
// lists of the levels still to be expanded.
struct OpenChain {
    std::string path;
    std::unique_ptr<LineCall> parsing;
    IdListPtr target;
};

void TStCustomShellTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    if (m_selectingQuietly || !m_startApplied)
        return;
    m_reselect.reset(); // chosen now: a re-read under way does not select another
    if (TStTreeNode* node = m_model->NodeAt(current))
        RaiseChange(*node);
}

void TStCustomShellTreeView::RaiseChange(TStTreeNode& node)
{
    if (!m_startApplied)
        return;
    m_currentFolder = FolderOf(&node);
    if (!m_loading && OnFolderSelected)
        OnFolderSelected(this, m_currentFolder);
    TellListView(m_currentFolder);
}

void TStCustomShellTreeView::SelectNode(TStTreeNode& node, bool quietly)
{
    const bool wasQuiet = m_selectingQuietly;
    m_selectingQuietly = quietly;
    setCurrentIndex(m_model->IndexOf(&node));
    m_selectingQuietly = wasQuiet;
}

void TStCustomShellTreeView::OpenAtPath(const std::string& path)
{
    EnsurePopulated();
    auto chain = std::make_shared<OpenChain>();
    chain->path = path;
    m_opening = chain; // an open still under way gives way to this one
    chain->parsing = parseOffThread(path, [this, weak = std::weak_ptr<OpenChain>(chain)](IdListPtr parsed) {
        if (const auto open = weak.lock(); open && m_opening == open)
            OpenIdList(open, std::move(parsed));
    });
    chain->parsing->waitFinished(kQuickListing); // quick: done (or refused) when this returns
}

void TStCustomShellTreeView::OpenIdList(const std::shared_ptr<OpenChain>& chain, IdListPtr absolute)
{
    if (!absolute) {
        m_opening.reset();
        throw ESsInvalidFolder(ssscInvalidFolder);
    }
    chain->target = IdListPtr(ILClone(absolute.get()));
    // Up from the folder to the nearest node there is, noting each level.
    std::vector<IdListPtr> levels;
    TStTreeNode* found = NodeByIdList(absolute.get());
    while (!found) {
        levels.push_back(IdListPtr(ILClone(absolute.get())));
        if (!ILRemoveLastID(absolute.get()))
            break;
        found = NodeByIdList(absolute.get());
    }
    if (!found) { // not under the root
        m_opening.reset();
        throw ESsInvalidFolder(ssscInvalidFolder);
    }
    std::reverse(levels.begin(), levels.end());
    auto lists = std::make_shared<std::vector<IdListPtr>>(std::move(levels));
    // Expand the node found, then each level from the top down, so that each
    // level's children exist before the next is sought; then open the folder.
    TStStepSequence::Run(lists->size() + 2, [this, chain, found, lists](std::size_t at, std::function<void()> next) {
        if (m_opening != chain)
            return; // cancelled, or another open took over
        if (at == lists->size() + 1) {
            FinishOpen(chain);
            return;
        }
        TStTreeNode* node = at == 0 ? found : NodeByIdList((*lists)[at - 1].get());
        if (!node) {
            FinishOpen(chain); // a level is missing: the folder cannot be reached
            return;
        }
        ExpandNode(*node, std::move(next));
    });
}

void TStCustomShellTreeView::FinishOpen(const std::shared_ptr<OpenChain>& chain)
{
    m_opening.reset();
    TStTreeNode* node = NodeByIdList(chain->target.get());
    if (!node)
        throw ESsInvalidFolder(ssscInvalidFolder); // the selection stays as it was
    scrollTo(m_model->IndexOf(node));
    SelectNode(*node);
    m_currentFolder = FolderOf(node);
    m_startInFolder = chain->path;
    m_openedPath = chain->path;
    m_openedList = IdListPtr(ILClone(chain->target.get()));
}

bool TStCustomShellTreeView::SelectFolder(const TStShellItem& item, bool onlyIfPresent)
{
    EnsurePopulated();
    const bool wasSuppressed = m_suppressListUpdate;
    m_suppressListUpdate = true;
    bool result = true;
    if (onlyIfPresent) {
        TStTreeNode* node = NodeByIdList(item.GetAbsoluteIdList());
        if (node)
            SelectNode(*node);
        result = node != nullptr;
    } else {
        auto chain = std::make_shared<OpenChain>();
        chain->path = item.GetPath();
        m_opening = chain;
        OpenIdList(chain, IdListPtr(ILClone(item.GetAbsoluteIdList())));
    }
    m_suppressListUpdate = wasSuppressed;
    return result;
}
