// SPDX-License-Identifier: MIT
#pragma once
// Common ground of the Linux namespace's folders: a folder answers for its
// direct children (one id), and this base extends every call to relative
// lists of several ids by binding down to the folder that holds the last one.

#include "platform/namespace/IdRecord.h"
#include "platform/namespace/NamespaceContext.h"
#include "platform/namespace/ShellFolder.h"

namespace dw::platform {

class NamespaceFolder : public IShellFolder {
public:
    NamespaceFolder(std::shared_ptr<NamespaceContext> context, IdListPtr absolute);

    HResult BindToObject(const ItemIdList* relative, ShellFolderPtr& result) override;
    HResult CompareIDs(long param, const ItemIdList* first, const ItemIdList* second) override;
    HResult GetAttributesOf(const std::vector<const ItemIdList*>& relatives, SfgaoFlags& attributes) override;
    HResult GetDisplayNameOf(const ItemIdList* relative, ShgdnFlags flags, std::string& name) override;
    HResult SetNameOf(const ItemIdList* relative, const std::string& name, ShgdnFlags flags,
                      IdListPtr* newRelative) override;
    HResult GetUIObjectOf(const std::vector<const ItemIdList*>& relatives,
                          std::unique_ptr<IContextMenu>& result) override;
    HResult GetFindData(const ItemIdList* relative, FindData& data) override;
    HResult GetDropTargetOf(const ItemIdList* relative, std::unique_ptr<IDropTarget>& result) override;
    std::string GetIconNameOf(const ItemIdList* relative, bool open) override;
    const ItemIdList* AbsoluteIdList() const override { return absolute_.get(); }

protected:
    // The same calls for one direct child, whose record is already checked.
    virtual HResult bindChild(const IdRecord& child, ShellFolderPtr& result) = 0;
    // Negative, 0 or positive.
    virtual int compareChildren(const IdRecord& first, const IdRecord& second) = 0;
    // The bits of `asked` that the child has; an error when it is gone and
    // SFGAO_VALIDATE was asked.
    virtual HResult childAttributes(const IdRecord& child, SfgaoFlags asked, SfgaoFlags& result) = 0;
    virtual HResult childDisplayName(const IdRecord& child, ShgdnFlags flags, std::string& name) = 0;
    virtual HResult renameChild(const IdRecord& child, const std::string& name, IdListPtr* newRelative);
    virtual HResult childFindData(const IdRecord& child, FindData& data);
    virtual std::string childIconName(const IdRecord& child, bool open);
    // A file-system folder child takes drops; override for other targets.
    virtual HResult childDropTarget(const IdRecord& child, const ItemIdList* relative,
                                    std::unique_ptr<IDropTarget>& result);
    // The full path of a file-system child; empty for virtual ones.
    virtual std::string childPath(const IdRecord& child);

    NamespaceContext& context() const { return *context_; }
    const std::shared_ptr<NamespaceContext>& sharedContext() const { return context_; }
    // This folder's absolute list followed by `relative`.
    IdListPtr absoluteOf(const ItemIdList* relative) const;

private:
    HResult compareFromHere(long param, const ItemIdList* first, const ItemIdList* second);
    // The folder holding the last id of a multi-id `relative`, and that id.
    HResult bindToHolder(const ItemIdList* relative, ShellFolderPtr& holder, const ItemIdList*& last);

    std::shared_ptr<NamespaceContext> context_;
    IdListPtr absolute_;
};

// Orders ids of different kinds within the desktop: home, Computer, Network,
// Trash, then everything else.
int virtualRank(IdKind kind);

} // namespace dw::platform
