// SPDX-License-Identifier: MIT
#pragma once
// A namespace for tests: a tree of items built by the test, each with the
// names, attributes and find data the test gives it, and failures on demand.
// It records what was asked of it, so tests can prove that a rule answered
// without asking. Install it with ScopedShellNamespace.
//
// Its ids hold "fk" and the item's 32-bit number.

#include "platform/fakenamespace/ListingGate.h"
#include "platform/namespace/ContextMenu.h"
#include "platform/namespace/ShellNamespace.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dw::platform::fake {

struct FakeNode {
    std::uint32_t number = 0;
    FakeNode* parent = nullptr;
    std::vector<FakeNode*> children;

    std::string name;        // SHGDN_NORMAL
    std::string parsingName; // SHGDN_FORPARSING
    SfgaoFlags attributes = 0;
    std::optional<FindData> findData; // none: SHGetDataFromIDList fails
    std::string iconName;
    DriveType driveType = DriveType::Fixed;

    // Listings of this folder wait here while the gate is closed.
    std::shared_ptr<ListingGate> gate;
    // The volume the node lies on, for listings; "" inherits the parent's.
    std::string volumeKey;

    bool failBind = false;
    bool failEnumeration = false;
    bool failDisplayName = false;
    bool failAttributes = false;
    bool failRename = false;
};

class FakeNamespace : public IShellNamespace, public std::enable_shared_from_this<FakeNamespace> {
public:
    FakeNamespace();

    FakeNode& desktop() { return *nodes_.front(); }
    FakeNode& addFolder(FakeNode& parent, const std::string& name, const std::string& parsingName,
                        bool fileSystem = true);
    FakeNode& addFile(FakeNode& parent, const std::string& name, const std::string& parsingName,
                      std::uint64_t size = 0);
    // A network share: named "SHARE on SERVER", parsed as "//SERVER/SHARE".
    FakeNode& addShare(FakeNode& parent, const std::string& share, const std::string& server);
    void mapSpecialFolder(int csidl, FakeNode& node) { specials_[csidl] = &node; }
    // Takes the node out of its folder, as deleting it from a disk would:
    // listings begun later do not see it. (Listings already under way have
    // read the folder's entries and may still bring it.)
    void remove(FakeNode& node);

    IdListPtr absoluteOf(const FakeNode& node) const;
    // The node a relative id list names below `from`; null when none.
    FakeNode* resolve(FakeNode& from, const ItemIdList* relative);

    // What was asked: each GetAttributesOf request, each EnumObjects, each
    // executed item's parsing name.
    // Listings may ask from worker threads: the records are kept under a lock.
    std::vector<SfgaoFlags> attributeRequests;
    std::atomic<int> enumerationCount{0};
    std::mutex recordMutex;
    std::vector<std::string> executed;
    bool executeSucceeds = true;

    ShellFolderPtr desktopFolder() override;
    ShellFolderPtr folderFor(FakeNode& node);
    HResult specialFolderLocation(int csidl, IdListPtr& result) override;
    DriveType driveTypeOf(const ItemIdList* absolute) override;
    bool executeDefaultVerb(const ItemIdList* absolute) override;
    std::string volumeKeyOf(const ItemIdList* absolute) override;

private:
    FakeNode& add(FakeNode& parent, const std::string& name, const std::string& parsingName, SfgaoFlags attributes);

    std::deque<std::unique_ptr<FakeNode>> nodes_;
    std::map<int, FakeNode*> specials_;
};

// Records what a context menu was asked and which verb ran.
class FakeContextMenu : public IContextMenu {
public:
    explicit FakeContextMenu(std::vector<std::string> targets) : targets_(std::move(targets)) {}
    HResult QueryContextMenu(std::vector<ContextMenuEntry>& menu, unsigned indexMenu, unsigned idCmdFirst,
                             unsigned idCmdLast, unsigned flags) override;
    HResult InvokeCommand(unsigned verbOffset, IShellUi& ui) override;
    HResult GetCommandString(unsigned verbOffset, std::string& verb) override;

    static std::vector<unsigned>& queriedFlags();
    static std::vector<unsigned>& invokedVerbs();

private:
    std::vector<std::string> targets_;
};

} // namespace dw::platform::fake
