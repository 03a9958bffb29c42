// SPDX-License-Identifier: MIT
// Keeping some text on every node: when the deepest level shown would leave
// no room for names in a narrow tree (a small window, a deep path), each
// level is indented less, down to a floor; only beyond that does the tree
// grow wider than its window and scroll sideways. Names longer than the room
// left are elided, never cut to nothing.

#include "shell/tree/StCustomShellTreeView.h"

#include "shell/tree/StShellTreeModel.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace {

// The least room a name gets, in average characters ("Archived…").
constexpr int kLeastNameCharacters = 8;
// Indentation never shrinks below this: the expand buttons still fit.
constexpr int kLeastIndentation = 10;
// Room taken by the icon and the margins around it and the text.
constexpr int kIconMargins = 10;

int NameRoom(const QTreeView& tree)
{
    return tree.fontMetrics().averageCharWidth() * kLeastNameCharacters;
}

int IconRoom(const QTreeView& tree)
{
    const int icon = tree.iconSize().isValid() ? tree.iconSize().width()
                                               : tree.style()->pixelMetric(QStyle::PM_SmallIconSize);
    return icon + kIconMargins;
}

} // namespace

void TStCustomShellTreeView::ScheduleFitIndentation()
{
    if (!m_fitTimer.isActive())
        m_fitTimer.start(0); // once a batch of changes is in
}

// The level of the deepest nodes shown (the top node is level 0); -1 when
// nothing is shown. Only the nodes expanded so far are looked at, never
// whole levels (one may hold 100,000 nodes).
int TStCustomShellTreeView::DeepestShownLevel() const
{
    int deepest = m_model->TopNode() ? 0 : -1;
    for (const TStTreeNode* node : m_expandedNodes) {
        if (node->children.empty())
            continue;
        int level = 0;
        bool shown = true;
        for (const TStTreeNode* at = node; shown && at->parent; at = at->parent) {
            shown = isExpanded(m_model->IndexOf(at));
            level += at != node;
        }
        if (shown)
            deepest = std::max(deepest, level + 1);
    }
    return deepest;
}

void TStCustomShellTreeView::FitIndentation()
{
    if (indentation() != m_fittedIndentation)
        m_fullIndentation = indentation(); // set by the tree's owner meanwhile
    const int levels = DeepestShownLevel() + (rootIsDecorated() ? 1 : 0);
    const int nameRoom = NameRoom(*this);
    const int iconRoom = IconRoom(*this);
    const int room = viewport()->width() - iconRoom - nameRoom;
    int fitted = m_fullIndentation;
    if (levels > 0 && room < levels * m_fullIndentation)
        fitted = std::clamp(room / levels, std::min(kLeastIndentation, m_fullIndentation), m_fullIndentation);
    m_fittedIndentation = fitted;
    if (fitted != indentation())
        setIndentation(fitted);
    // Deeper still: the tree gets wider than its window rather than showing
    // nodes without a name.
    const int widest = levels * fitted + iconRoom + nameRoom;
    header()->setMinimumSectionSize(widest > viewport()->width() ? widest : m_fullMinimumSectionSize);
}

void TStCustomShellTreeView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    ScheduleFitIndentation();
}

// Wider than its window, the tree also scrolls sideways to a node it
// scrolls to (the current one, as the keyboard moves it), so that the
// beginning of its name shows.
void TStCustomShellTreeView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTreeView::scrollTo(index, hint);
    if (!index.isValid() || header()->sectionSize(0) <= viewport()->width())
        return;
    const QRect shown = visualRect(index);
    QScrollBar* bar = horizontalScrollBar();
    const int nameEnd = shown.left() + IconRoom(*this) + NameRoom(*this);
    if (nameEnd > viewport()->width())
        bar->setValue(bar->value() + nameEnd - viewport()->width());
    else if (shown.left() < indentation())
        bar->setValue(bar->value() + shown.left() - indentation());
}
