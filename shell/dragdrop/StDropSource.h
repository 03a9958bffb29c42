// SPDX-License-Identifier: MIT
#pragma once
// The source side of a drag out of a shell view: which effects the dragged
// item allows (its copy, move and link attributes), the data it carries (a
// TStDataObject) and the image under the cursor (the item's icon). Qt's drag
// loop does the rest: the mouse decides where it drops, Esc cancels it.
//
// The source never removes the item after a move: the target that took it
// has already moved it on disk.

#include <QPixmap>
#include <Qt>

#include <memory>

class QDrag;
class QObject;
class TStShellItem;

class TStDropSource {
public:
    // Reads the item's attributes and icon now, while it is sure to exist.
    explicit TStDropSource(TStShellItem& item);

    // DROPEFFECT_* bits the item allows; none means it cannot be dragged.
    unsigned GetAllowedEffects() const { return m_allowedEffects; }
    const QPixmap& GetDragImage() const { return m_dragImage; }

    // A drag ready to run, owned by the caller; null when nothing is allowed.
    std::unique_ptr<QDrag> MakeDrag(QObject* dragSource) const;

    // Runs the drag loop until the drop or Esc; answers the DROPEFFECT_*
    // value of what happened (DROPEFFECT_NONE when cancelled or refused).
    unsigned Execute(QObject* dragSource) const;

private:
    const TStShellItem& m_item;
    unsigned m_allowedEffects = 0;
    QPixmap m_dragImage;
};
