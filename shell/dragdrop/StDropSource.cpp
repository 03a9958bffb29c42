// SPDX-License-Identifier: MIT
#include "shell/dragdrop/StDropSource.h"

#include "platform/fileinfo/SystemImageList.h"
#include "platform/fileops/DropTarget.h"
#include "shell/dragdrop/StDataObject.h"
#include "shell/dragdrop/StDropEffects.h"
#include "shell/items/StShellItem.h"

#include <QDrag>

using namespace dw::platform;

namespace {

SfgaoFlags transferAttributesOf(const TStShellItem& item)
{
    const ShellFolderPtr& parent = item.GetParentFolder();
    SfgaoFlags attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
    if (item.IsDesktop() || !parent || failed(parent->GetAttributesOf({item.GetRelativeIdList()}, attributes)))
        return 0;
    return attributes;
}

} // namespace

TStDropSource::TStDropSource(TStShellItem& item)
    : m_item(item), m_allowedEffects(DropEffectsOfAttributes(transferAttributesOf(item)))
{
    const int icon = item.GetIconIndex();
    if (icon >= 0)
        m_dragImage = SystemImageList::large().pixmap(icon);
}

std::unique_ptr<QDrag> TStDropSource::MakeDrag(QObject* dragSource) const
{
    if (m_allowedEffects == DROPEFFECT_NONE)
        return nullptr;
    auto drag = std::make_unique<QDrag>(dragSource);
    drag->setMimeData(new TStDataObject(m_item)); // the drag owns its data
    if (!m_dragImage.isNull()) {
        drag->setPixmap(m_dragImage);
        drag->setHotSpot(QPoint(m_dragImage.width() / 2, m_dragImage.height() / 2));
    }
    return drag;
}

unsigned TStDropSource::Execute(QObject* dragSource) const
{
    const std::unique_ptr<QDrag> drag = MakeDrag(dragSource);
    if (!drag)
        return DROPEFFECT_NONE;
    return DropEffectsOf(drag->exec(DropActionsOf(m_allowedEffects)));
}
