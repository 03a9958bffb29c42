// SPDX-License-Identifier: MIT
#include "platform/fakenamespace/FakeNamespace.h"

#include "platform/namespace/IdRecord.h"
#include "platform/namespace/NaturalOrder.h"

#include <algorithm>

namespace dw::platform::fake {

namespace {

IdListPtr idOf(const FakeNode& node)
{
    std::string data = "fk";
    for (int shift = 0; shift < 32; shift += 8)
        data.push_back(static_cast<char>((node.number >> shift) & 0xFF));
    return IdListPtr(ILCreateFromData(data));
}

std::optional<std::uint32_t> numberOf(const ItemIdList* id)
{
    const std::string_view data = ILIdData(id);
    if (data.size() != 6 || data.substr(0, 2) != "fk")
        return std::nullopt;
    std::uint32_t number = 0;
    for (int i = 0; i < 4; ++i)
        number |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[2 + i])) << (8 * i);
    return number;
}

class FakeEnumerator : public IEnumIdList {
public:
    FakeEnumerator(std::vector<IdListPtr> ids, std::shared_ptr<ListingGate> gate)
        : ids_(std::move(ids)), gate_(std::move(gate))
    {
    }
    HResult Next(IdListPtr& child) override
    {
        if (gate_)
            gate_->pass();
        if (next_ >= ids_.size()) {
            child.reset();
            return S_FALSE;
        }
        child = std::move(ids_[next_++]);
        return S_OK;
    }

private:
    std::vector<IdListPtr> ids_;
    std::size_t next_ = 0;
    std::shared_ptr<ListingGate> gate_;
};

class FakeFolder : public IShellFolder {
public:
    FakeFolder(std::shared_ptr<FakeNamespace> owner, FakeNode& node)
        : owner_(std::move(owner)), node_(node), absolute_(owner_->absoluteOf(node))
    {
    }

    HResult ParseDisplayName(const std::string& name, IdListPtr& result) override
    {
        FakeNode* found = name == node_.parsingName ? &node_ : find(node_, name);
        if (!found)
            return E_FILE_NOT_FOUND;
        IdListPtr relative = emptyIdList();
        std::vector<const FakeNode*> chain;
        for (const FakeNode* at = found; at != &node_; at = at->parent)
            chain.insert(chain.begin(), at);
        for (const FakeNode* link : chain)
            relative.reset(ILCombine(relative.get(), idOf(*link).get()));
        result = std::move(relative);
        return S_OK;
    }

    HResult EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result) override
    {
        ++owner_->enumerationCount;
        if (node_.failEnumeration)
            return E_FAIL;
        std::vector<IdListPtr> ids;
        for (const FakeNode* child : node_.children) {
            const bool folder = (child->attributes & SFGAO_FOLDER) != 0;
            if ((child->attributes & SFGAO_HIDDEN) && !(flags & SHCONTF_INCLUDEHIDDEN))
                continue;
            if (folder ? (flags & SHCONTF_FOLDERS) : (flags & SHCONTF_NONFOLDERS))
                ids.push_back(idOf(*child));
        }
        result = std::make_unique<FakeEnumerator>(std::move(ids), node_.gate);
        return S_OK;
    }

    HResult BindToObject(const ItemIdList* relative, ShellFolderPtr& result) override
    {
        FakeNode* target = owner_->resolve(node_, relative);
        if (!target || target == &node_ || target->failBind || !(target->attributes & SFGAO_FOLDER))
            return E_FAIL;
        result = owner_->folderFor(*target);
        return S_OK;
    }

    HResult CompareIDs(long, const ItemIdList* first, const ItemIdList* second) override
    {
        FakeNode* a = owner_->resolve(node_, first);
        FakeNode* b = owner_->resolve(node_, second);
        if (!a || !b)
            return E_INVALIDARG;
        if (a == b)
            return 0;
        const bool aFolder = (a->attributes & SFGAO_FOLDER) != 0;
        const bool bFolder = (b->attributes & SFGAO_FOLDER) != 0;
        if (aFolder != bFolder)
            return aFolder ? -1 : 1;
        const int order = compareNames(a->name, b->name);
        return order != 0 ? (order < 0 ? -1 : 1) : (a->number < b->number ? -1 : 1);
    }

    HResult GetAttributesOf(const std::vector<const ItemIdList*>& relatives, SfgaoFlags& attributes) override
    {
        {
            std::lock_guard lock(owner_->recordMutex);
            owner_->attributeRequests.push_back(attributes);
        }
        SfgaoFlags common = attributes;
        for (const ItemIdList* relative : relatives) {
            FakeNode* target = owner_->resolve(node_, relative);
            if (!target || target->failAttributes) {
                attributes = 0;
                return E_FAIL;
            }
            common &= target->attributes;
        }
        attributes = common;
        return S_OK;
    }

    HResult GetDisplayNameOf(const ItemIdList* relative, ShgdnFlags flags, std::string& name) override
    {
        name.clear();
        FakeNode* target = owner_->resolve(node_, relative);
        if (!target || target->failDisplayName)
            return E_FAIL;
        const bool parsing = (flags & SHGDN_FORPARSING) && !(flags & SHGDN_INFOLDER);
        name = parsing ? target->parsingName : target->name;
        return S_OK;
    }

    HResult SetNameOf(const ItemIdList* relative, const std::string& name, ShgdnFlags,
                      IdListPtr* newRelative) override
    {
        FakeNode* target = owner_->resolve(node_, relative);
        if (!target)
            return E_INVALIDARG;
        if (target->failRename)
            return E_ACCESSDENIED;
        if (name.empty() || name.find('/') != std::string::npos)
            return E_BAD_NAME;
        for (const FakeNode* sibling : target->parent->children) {
            if (sibling != target && sibling->name == name)
                return E_ALREADY_EXISTS;
        }
        target->name = name;
        if (newRelative)
            *newRelative = idOf(*target);
        return S_OK;
    }

    HResult GetUIObjectOf(const std::vector<const ItemIdList*>& relatives,
                          std::unique_ptr<IContextMenu>& result) override
    {
        std::vector<std::string> targets;
        for (const ItemIdList* relative : relatives) {
            FakeNode* target = owner_->resolve(node_, relative);
            if (!target)
                return E_INVALIDARG;
            targets.push_back(target->parsingName);
        }
        result = std::make_unique<FakeContextMenu>(std::move(targets));
        return S_OK;
    }

    HResult GetFindData(const ItemIdList* relative, FindData& data) override
    {
        FakeNode* target = owner_->resolve(node_, relative);
        if (!target || !target->findData)
            return E_FAIL;
        data = *target->findData;
        return S_OK;
    }

    std::string GetIconNameOf(const ItemIdList* relative, bool) override
    {
        FakeNode* target = owner_->resolve(node_, relative);
        return target ? target->iconName : std::string();
    }

    const ItemIdList* AbsoluteIdList() const override { return absolute_.get(); }

private:
    static FakeNode* find(FakeNode& from, const std::string& parsingName)
    {
        for (FakeNode* child : from.children) {
            if (child->parsingName == parsingName)
                return child;
            if (FakeNode* below = find(*child, parsingName))
                return below;
        }
        return nullptr;
    }

    std::shared_ptr<FakeNamespace> owner_;
    FakeNode& node_;
    IdListPtr absolute_;
};

} // namespace

FakeNamespace::FakeNamespace()
{
    auto root = std::make_unique<FakeNode>();
    root->name = "Desktop";
    root->attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
    nodes_.push_back(std::move(root));
}

FakeNode& FakeNamespace::add(FakeNode& parent, const std::string& name, const std::string& parsingName,
                             SfgaoFlags attributes)
{
    auto node = std::make_unique<FakeNode>();
    node->number = static_cast<std::uint32_t>(nodes_.size());
    node->parent = &parent;
    node->name = name;
    node->parsingName = parsingName;
    node->attributes = attributes;
    node->driveType = parent.driveType;
    parent.children.push_back(node.get());
    if (parent.children.size() == 1 && (attributes & SFGAO_FOLDER))
        parent.attributes |= SFGAO_HASSUBFOLDER;
    nodes_.push_back(std::move(node));
    return *nodes_.back();
}

FakeNode& FakeNamespace::addFolder(FakeNode& parent, const std::string& name, const std::string& parsingName,
                                   bool fileSystem)
{
    FakeNode& node = add(parent, name, parsingName, SFGAO_FOLDER | (fileSystem ? SFGAO_FILESYSTEM : 0));
    if (fileSystem)
        node.findData = FindData{FILE_ATTRIBUTE_DIRECTORY, 4096, 1700000000, 0, name};
    return node;
}

FakeNode& FakeNamespace::addFile(FakeNode& parent, const std::string& name, const std::string& parsingName,
                                 std::uint64_t size)
{
    FakeNode& node = add(parent, name, parsingName, SFGAO_FILESYSTEM);
    node.findData = FindData{FILE_ATTRIBUTE_ARCHIVE, size, 1700000000, 0, name};
    return node;
}

FakeNode& FakeNamespace::addShare(FakeNode& parent, const std::string& share, const std::string& server)
{
    FakeNode& node = add(parent, share + " on " + server, "//" + server + "/" + share, SFGAO_FOLDER | SFGAO_SHARE);
    node.driveType = DriveType::Remote;
    return node;
}

void FakeNamespace::remove(FakeNode& node)
{
    std::vector<FakeNode*>& siblings = node.parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), &node), siblings.end());
}

IdListPtr FakeNamespace::absoluteOf(const FakeNode& node) const
{
    std::vector<const FakeNode*> chain;
    for (const FakeNode* at = &node; at->parent; at = at->parent)
        chain.insert(chain.begin(), at);
    IdListPtr list = emptyIdList();
    for (const FakeNode* link : chain)
        list.reset(ILCombine(list.get(), idOf(*link).get()));
    return list;
}

FakeNode* FakeNamespace::resolve(FakeNode& from, const ItemIdList* relative)
{
    FakeNode* at = &from;
    for (const ItemIdList* id = relative; ILIdSize(id) != 0; id = ILGetNext(id)) {
        const auto number = numberOf(id);
        if (!number || *number >= nodes_.size() || nodes_[*number]->parent != at)
            return nullptr;
        at = nodes_[*number].get();
    }
    return relative ? at : nullptr;
}

ShellFolderPtr FakeNamespace::desktopFolder()
{
    return folderFor(desktop());
}

ShellFolderPtr FakeNamespace::folderFor(FakeNode& node)
{
    return std::make_shared<FakeFolder>(shared_from_this(), node);
}

HResult FakeNamespace::specialFolderLocation(int csidl, IdListPtr& result)
{
    if (csidl == CSIDL_DESKTOP) {
        result = absoluteOf(desktop());
        return S_OK;
    }
    const auto found = specials_.find(csidl);
    if (found == specials_.end())
        return E_NOTIMPL;
    result = absoluteOf(*found->second);
    return S_OK;
}

DriveType FakeNamespace::driveTypeOf(const ItemIdList* absolute)
{
    FakeNode* node = resolve(desktop(), absolute);
    return node && node != &desktop() ? node->driveType : DriveType::NoRootDir;
}

std::string FakeNamespace::volumeKeyOf(const ItemIdList* absolute)
{
    for (const FakeNode* node = resolve(desktop(), absolute); node; node = node->parent) {
        if (!node->volumeKey.empty())
            return node->volumeKey;
    }
    return {};
}

bool FakeNamespace::executeDefaultVerb(const ItemIdList* absolute)
{
    FakeNode* node = resolve(desktop(), absolute);
    executed.push_back(node ? node->parsingName : "<unknown>");
    return node && executeSucceeds;
}

std::vector<unsigned>& FakeContextMenu::queriedFlags()
{
    static std::vector<unsigned> flags;
    return flags;
}

std::vector<unsigned>& FakeContextMenu::invokedVerbs()
{
    static std::vector<unsigned> verbs;
    return verbs;
}

HResult FakeContextMenu::QueryContextMenu(std::vector<ContextMenuEntry>& menu, unsigned, unsigned idCmdFirst,
                                          unsigned, unsigned flags)
{
    queriedFlags().push_back(flags);
    menu.push_back({idCmdFirst, "&Open", "open", true, true});
    if (flags & CMF_CANRENAME)
        menu.push_back({idCmdFirst + 18, "Rena&me", "rename", false, true});
    return 19;
}

HResult FakeContextMenu::InvokeCommand(unsigned verbOffset, IShellUi&)
{
    invokedVerbs().push_back(verbOffset);
    return S_OK;
}

HResult FakeContextMenu::GetCommandString(unsigned verbOffset, std::string& verb)
{
    verb = verbOffset == 0 ? "open" : verbOffset == 18 ? "rename" : "";
    return verb.empty() ? E_INVALIDARG : S_OK;
}

} // namespace dw::platform::fake
