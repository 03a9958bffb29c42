// SPDX-License-Identifier: MIT
#pragma once
// The object the shell controls share: it holds the desktop folder and the
// system image lists, enumerates a folder's children into items and tree
// nodes, answers icon queries and runs the context menu.

#include "base/component/SsComponent.h"
#include "platform/listing/ListingRequest.h"
#include "platform/fileinfo/SystemImageList.h"
#include "platform/namespace/ContextMenu.h"
#include "platform/namespace/ShellFolder.h"
#include "shell/controller/StEnumerationTargets.h"
#include "shell/controller/StShellLinks.h"
#include "shell/items/StShellItemList.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

enum class TStEnumerationMode { Tree = 0, FileList = 1, FolderCombo = 2 };

// What the control that asks for a context menu allows.
struct TStContextMenuOptions {
    bool allowRename = false;  // the control's rename option
    bool extendedMenu = false; // the control's extended-menu option
    std::string itemName;      // the name the control shows for the item, for messages
};

class TStCustomShellController : public TSsComponent {
    Q_OBJECT

public:
    explicit TStCustomShellController(QObject* owner = nullptr);
    ~TStCustomShellController() override;

    // Names and binding; empty / null on failure.
    std::string GetDisplayName(dw::platform::IShellFolder& folder, const dw::platform::ItemIdList* relative,
                               dw::platform::ShgdnFlags flags) const;
    dw::platform::ShellFolderPtr Bind(dw::platform::IShellFolder& folder,
                                      const dw::platform::ItemIdList* relative) const;

    // Icon, open icon and overlay (0 shared, 1 link, -1 none) of an item;
    // `displayName` receives its name when given.
    void GetIconIndices(const dw::platform::ItemIdList* absolute, int& iconIndex, int& openIconIndex,
                        int& overlayIndex, std::string* displayName = nullptr) const;
    // The same for a child of a folder at hand (no binding of its parent).
    void GetIconIndices(dw::platform::IShellFolder& parent, const dw::platform::ItemIdList* relative,
                        int& iconIndex, int& openIconIndex, int& overlayIndex,
                        std::string* displayName = nullptr) const;

    // Reads the children of the folder `absolute` names into the linked
    // control of `mode`: the tree (under the current tree node), the file
    // list (or, with none linked, this controller's item list), or the
    // drop-down list. Failed binds and queries are skipped silently. In
    // tree mode the children go under `node`; the form without it uses the
    // node set by SetTreeNode.
    void Enumerate(const dw::platform::ItemIdList* absolute, TStEnumerationMode mode);
    void Enumerate(const dw::platform::ItemIdList* absolute, TStEnumerationMode mode, TStTreeNodeHandle node);

    // What a folder tree asks of a listing of `folder`'s children: the
    // tree's flags, the attributes the tree draws, and has-children marks.
    dw::platform::ListingRequest TreeListingRequest(const dw::platform::ItemIdList* folder) const;
    // What a file list asks (mode 1): files and folders, hidden ones as the
    // linked list says, with the facts its columns show (size, time, find
    // attributes, the type by name) and the attributes that drags, drops,
    // renaming and the menu need, so that none of them asks the disk again.
    dw::platform::ListingRequest FileListRequest(const dw::platform::ItemIdList* folder) const;

    // Shows the context menu of `relatives` (children of `folder`) at the
    // screen position; answers the chosen command, or -1 when nothing was
    // shown. Command ids run from 1; the chosen one runs as verb c - 1.
    // What the menu offers is asked of the items' disk on their volume's
    // line while the window turns; a disk that does not answer within the
    // patience gets a message instead of a menu. The verb's own disk work
    // and the facts its dialogs show are waited for the same way.
    int ShowContextMenu(QWidget* control, dw::platform::ShellFolderPtr folder, QWidget* window, int x, int y,
                        const std::vector<const dw::platform::ItemIdList*>& relatives,
                        const TStContextMenuOptions& options);
    // The same for a folder at hand, bound again for the time the menu needs it.
    int ShowContextMenu(QWidget* control, dw::platform::IShellFolder& folder, QWidget* window, int x, int y,
                        const std::vector<const dw::platform::ItemIdList*>& relatives,
                        const TStContextMenuOptions& options);

    // How long the menu and its verbs wait for a disk that does not answer.
    void SetVolumePatience(std::chrono::milliseconds patience) { m_volumePatience = patience; }
    std::chrono::milliseconds GetVolumePatience() const { return m_volumePatience; }

    // Replaces the popup menu and the user's dialogs (tests).
    using MenuChooser = std::function<int(const std::vector<dw::platform::ContextMenuEntry>& entries)>;
    void SetMenuChooser(MenuChooser chooser) { m_menuChooser = std::move(chooser); }
    void SetShellUi(dw::platform::IShellUi* ui) { m_shellUi = ui; }
    // The UI set with SetShellUi (null: the controls ask with their own dialogs).
    dw::platform::IShellUi* GetShellUi() const { return m_shellUi; }

    void SetTreeTarget(IStShellTreeTarget* tree) { m_treeControl = tree; }
    void SetTreeNode(TStTreeNodeHandle node) { m_treeNode = node; }
    void SetListTarget(IStShellListTarget* list) { m_listView = list; }
    void SetComboTarget(IStShellComboTarget* combo) { m_listControl = combo; }
    IStShellTreeTarget* GetTreeTarget() const { return m_treeControl; }
    TStTreeNodeHandle GetTreeNode() const { return m_treeNode; }
    IStShellListTarget* GetListTarget() const { return m_listView; }

    // The tree and the list linked through this controller (StShellLinks.h);
    // each side clears its own entry when it goes.
    void SetListLink(IStShellListLink* list) { m_listLink = list; }
    IStShellListLink* GetListLink() const { return m_listLink; }
    void SetTreeLink(IStShellTreeLink* tree) { m_treeLink = tree; }
    IStShellTreeLink* GetTreeLink() const { return m_treeLink; }

    const dw::platform::ShellFolderPtr& GetDesktopFolder() const { return m_desktopFolder; }
    const dw::platform::SystemImageList* GetLargeImages() const { return m_largeImages; }
    const dw::platform::SystemImageList* GetSmallImages() const { return m_smallImages; }
    TStShellItemList& GetItemList() { return *m_itemList; }
    int GetReplacementIconIndex() const { return m_replacementIconIndex; }
    int GetLinkOverlayIndex() const { return m_linkOverlayIndex; }

private:
    struct EnumerationSource;
    EnumerationSource FindEnumerationSource(const dw::platform::ItemIdList* absolute) const;
    dw::platform::ShcontfFlags EnumerationFlags(TStEnumerationMode mode) const;
    template <typename Item>
    std::unique_ptr<Item> MakeChild(const dw::platform::ChildRecord& record);
    void AddChild(const dw::platform::ChildRecord& record, TStEnumerationMode mode, TStTreeNodeHandle node);
    void AddTreeChild(std::unique_ptr<TStShellFolder> folder, const dw::platform::ChildRecord& record,
                      TStTreeNodeHandle node);
    void AddListChild(std::unique_ptr<TStShellItem> item);
    void AddComboChild(std::unique_ptr<TStShellFolder> folder);
    void StopSearchAnimation();
    template <typename Query>
    void IconIndicesFrom(Query query, int& iconIndex, int& openIconIndex, int& overlayIndex,
                         std::string* displayName) const;
    int RunPopupMenu(const std::vector<dw::platform::ContextMenuEntry>& entries, int x, int y, QWidget* window);
    struct GatheredMenu;
    std::shared_ptr<GatheredMenu> GatherMenu(const dw::platform::ShellFolderPtr& folder,
                                             const std::vector<const dw::platform::ItemIdList*>& relatives,
                                             unsigned flags);
    void SayUnreachable(const std::string& itemName, QWidget* window);

    IStShellComboTarget* m_listControl = nullptr;
    dw::platform::ShellFolderPtr m_desktopFolder;
    const dw::platform::SystemImageList* m_largeImages = nullptr;
    IStShellListTarget* m_listView = nullptr;
    std::unique_ptr<TStShellItemList> m_itemList;
    const dw::platform::SystemImageList* m_smallImages = nullptr;
    IStShellTreeTarget* m_treeControl = nullptr;
    TStTreeNodeHandle m_treeNode = nullptr;
    bool m_searchAnimation = false;
    int m_replacementIconIndex = -1;
    int m_linkOverlayIndex = 0;
    IStShellListLink* m_listLink = nullptr;
    IStShellTreeLink* m_treeLink = nullptr;

    MenuChooser m_menuChooser;
    dw::platform::IShellUi* m_shellUi = nullptr;
    std::chrono::milliseconds m_volumePatience;
};
