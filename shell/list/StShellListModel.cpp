// SPDX-License-Identifier: MIT
#include "shell/list/StShellListModel.h"

#include "base/containers/SsSortedRuns.h"
#include "platform/fileinfo/SystemImageList.h"
#include "shell/list/StListColumns.h"

#include <algorithm>

using namespace dw::platform;

namespace {

bool SameFileFacts(const std::optional<ChildFileFacts>& a, const std::optional<ChildFileFacts>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a
        || (a->size == b->size && a->lastWriteSeconds == b->lastWriteSeconds
            && a->lastWriteNanoseconds == b->lastWriteNanoseconds && a->findAttributes == b->findAttributes);
}

// Whether a row would show anything different.
bool SameFacts(const ChildRecord& a, const ChildRecord& b)
{
    return a.displayName == b.displayName && a.attributes == b.attributes && a.type == b.type
        && a.iconIndex == b.iconIndex && a.overlayIndex == b.overlayIndex && a.typeIndex == b.typeIndex
        && SameFileFacts(a.file, b.file) && ILIsEqual(a.absolute.get(), b.absolute.get());
}

std::vector<const ChildRecord*> PointersTo(const std::vector<ChildRecord>& records)
{
    std::vector<const ChildRecord*> pointers;
    pointers.reserve(records.size());
    for (const ChildRecord& record : records)
        pointers.push_back(&record);
    return pointers;
}

} // namespace

TStShellListModel::TStShellListModel(QObject* parent) : QAbstractTableModel(parent) {}

TStShellListModel::~TStShellListModel() = default;

void TStShellListModel::Clear()
{
    beginResetModel();
    rows_.clear();
    freeSlots_.clear();
    shown_.clear();
    rowOfSlot_.clear();
    flagsOfSlot_.clear();
    byName_.clear();
    nameOrderIsShown_ = true;
    nameRanks_.clear();
    nameRanksValid_ = false;
    slotsByPathHash_.clear();
    types_.Clear();
    typeTexts_.clear();
    endResetModel();
}

// Records and their entries.

TStShellListModel::Slot TStShellListModel::Allocate(ChildRecord record)
{
    Slot slot;
    if (freeSlots_.empty()) {
        slot = Slot(rows_.size());
        rows_.emplace_back();
        rowOfSlot_.push_back(-1);
        flagsOfSlot_.push_back(0);
    } else {
        slot = freeSlots_.back();
        freeSlots_.pop_back();
    }
    Row& row = rows_[slot];
    row.record = std::move(record);
    row.generation = generation_;
    row.admitted = false;
    row.live = true;
    rowOfSlot_[slot] = -1;
    flagsOfSlot_[slot] = FlagsOf(row.record);
    Index(slot);
    return slot;
}

void TStShellListModel::Release(Slot slot)
{
    Unindex(slot);
    rows_[slot] = Row{}; // its memory goes now, not when the slot is reused
    rowOfSlot_[slot] = -1;
    freeSlots_.push_back(slot);
}

void TStShellListModel::Replace(Slot slot, ChildRecord record)
{
    Unindex(slot);
    rows_[slot].record = std::move(record);
    flagsOfSlot_[slot] = FlagsOf(rows_[slot].record);
    Index(slot);
}

void TStShellListModel::Index(Slot slot)
{
    slotsByPathHash_.insert(PathHash(rows_[slot].record.parsingName), slot);
}

void TStShellListModel::Unindex(Slot slot)
{
    slotsByPathHash_.remove(PathHash(rows_[slot].record.parsingName), slot);
}

std::optional<TStShellListModel::Slot> TStShellListModel::FindSlot(const std::string& parsingName) const
{
    const auto [first, last] = slotsByPathHash_.equal_range(PathHash(parsingName));
    for (auto at = first; at != last; ++at) {
        if (rows_[*at].record.parsingName == parsingName)
            return *at;
    }
    return std::nullopt;
}

bool TStShellListModel::Holds(const std::string& parsingName) const
{
    return FindSlot(parsingName).has_value();
}

const ChildRecord* TStShellListModel::FindRecord(const std::string& parsingName) const
{
    const std::optional<Slot> slot = FindSlot(parsingName);
    return slot ? &rows_[*slot].record : nullptr;
}

int TStShellListModel::RowOfPath(const std::string& parsingName) const
{
    const std::optional<Slot> slot = FindSlot(parsingName);
    return slot ? rowOfSlot_[*slot] : -1;
}

const ChildRecord& TStShellListModel::RecordAt(int row) const
{
    return rows_[shown_[std::size_t(row)]].record;
}

// The name order of every record: what ranks names when all rows are
// sorted at once.

void TStShellListModel::AddToNameOrder(std::vector<Slot> entries)
{
    const TStListOrder order = Order();
    const auto byName = [&](Slot a, Slot b) { return order.CompareNames(rows_[a].record, rows_[b].record) < 0; };
    SsSortRuns(entries, byName);
    const std::size_t old = byName_.size();
    byName_.insert(byName_.end(), entries.begin(), entries.end());
    if (old != 0 && !byName(byName_[old - 1], byName_[old]))
        SsMergeSortedRuns(byName_, old, byName);
    nameRanksValid_ = false;
}

void TStShellListModel::RemoveFromNameOrder(Slot slot)
{
    if (!nameOrderIsShown_)
        byName_.erase(std::find(byName_.begin(), byName_.end(), slot));
    nameRanksValid_ = false;
}

void TStShellListModel::EnsureNameOrder()
{
    if (!nameOrderIsShown_)
        return;
    byName_ = shown_;
    nameOrderIsShown_ = false;
}

void TStShellListModel::EnsureNameRanks()
{
    EnsureNameOrder();
    if (nameRanksValid_)
        return;
    nameRanks_.assign(rows_.size(), 0);
    for (std::size_t rank = 0; rank < byName_.size(); ++rank)
        nameRanks_[byName_[rank]] = std::uint32_t(rank);
    nameRanksValid_ = true;
}

// The shown rows.

void TStShellListModel::Renumber(std::size_t fromRow)
{
    for (std::size_t row = fromRow; row < shown_.size(); ++row)
        rowOfSlot_[shown_[row]] = int(row);
}

void TStShellListModel::ChangeLayout(const std::function<void()>& reorder)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Read after the announcement: views keep what they point at as
    // persistent indexes when they hear it.
    const QModelIndexList before = persistentIndexList();
    std::vector<Slot> entries;
    entries.reserve(std::size_t(before.size()));
    for (const QModelIndex& index : before)
        entries.push_back(shown_[std::size_t(index.row())]);
    reorder();
    Renumber(0);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int row = rowOfSlot_[entries[std::size_t(i)]];
        after.push_back(row < 0 ? QModelIndex() : index(row, before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// New rows are appended, then merged into place when they do not all
// belong after the last: views keep their selection and position.
void TStShellListModel::Show(std::vector<Slot> entries)
{
    if (entries.empty())
        return;
    const TStListOrder order = Order();
    const auto before = [&](Slot a, Slot b) { return order.Compare(rows_[a].record, rows_[b].record) < 0; };
    SsSortRuns(entries, before);
    for (Slot slot : entries)
        rows_[slot].admitted = true;
    const std::size_t old = shown_.size();
    const bool afterTheRest = old == 0 || before(shown_.back(), entries.front());
    beginInsertRows({}, int(old), int(old + entries.size() - 1));
    shown_.insert(shown_.end(), entries.begin(), entries.end());
    Renumber(old);
    endInsertRows();
    if (!afterTheRest)
        ChangeLayout([&] { SsMergeSortedRuns(shown_, old, before); });
}

void TStShellListModel::Hide(Slot slot)
{
    rows_[slot].admitted = false;
    const int row = rowOfSlot_[slot];
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    shown_.erase(shown_.begin() + row);
    rowOfSlot_[slot] = -1;
    Renumber(std::size_t(row));
    endRemoveRows();
}

void TStShellListModel::Reposition(Slot slot)
{
    Row& entry = rows_[slot];
    const bool admitted = Admits(entry.record);
    if (admitted != entry.admitted) {
        EnsureNameOrder(); // the rows shown are no longer every record
        if (admitted)
            Show({slot});
        else
            Hide(slot);
        return;
    }
    const int row = rowOfSlot_[slot];
    if (!admitted || row < 0)
        return;
    emit dataChanged(index(row, 0), index(row, kListColumnCount - 1));
    const std::size_t at = std::size_t(row);
    const bool inPlace = (at == 0 || Before(shown_[at - 1], slot))
        && (at + 1 == shown_.size() || Before(slot, shown_[at + 1]));
    if (inPlace)
        return;
    std::vector<Slot> others = shown_;
    others.erase(others.begin() + row);
    const TStListOrder order = Order();
    const std::size_t to = std::size_t(std::upper_bound(others.begin(), others.end(), slot, [&](Slot a, Slot b) {
                                           return order.Compare(rows_[a].record, rows_[b].record) < 0;
                                       }) - others.begin());
    beginMoveRows({}, row, row, {}, int(to > at ? to + 1 : to));
    shown_.erase(shown_.begin() + row);
    shown_.insert(shown_.begin() + std::ptrdiff_t(to), slot);
    Renumber(std::min(at, to));
    endMoveRows();
}

// Taking records.

void TStShellListModel::Merge(std::vector<ChildRecord> records)
{
    types_.Add(PointersTo(records));
    std::vector<Slot> added;
    std::vector<Slot> changed;
    for (ChildRecord& record : records) {
        const std::optional<Slot> found = FindSlot(record.parsingName);
        if (!found) {
            added.push_back(Allocate(std::move(record)));
            continue;
        }
        const Slot slot = *found;
        rows_[slot].generation = generation_;
        if (SameFacts(rows_[slot].record, record))
            continue;
        Replace(slot, std::move(record));
        changed.push_back(slot);
    }
    if (!added.empty()) {
        std::vector<Slot> admitted;
        for (Slot slot : added) {
            if (Admits(rows_[slot].record))
                admitted.push_back(slot);
        }
        const bool byName = sortColumn_ == lcName && sortOrder_ == Qt::AscendingOrder;
        if (!byName || admitted.size() != added.size())
            EnsureNameOrder();
        if (!nameOrderIsShown_)
            AddToNameOrder(added);
        nameRanksValid_ = false;
        Show(std::move(admitted));
    }
    for (Slot slot : changed)
        Reposition(slot);
}

bool TStShellListModel::Rename(const std::string& oldParsingName, ChildRecord renamed)
{
    const std::optional<Slot> found = FindSlot(oldParsingName);
    if (!found)
        return false;
    const Slot slot = *found;
    if (renamed.parsingName != oldParsingName)
        Remove(renamed.parsingName); // an item it replaced
    types_.Add({&renamed});
    EnsureNameOrder(); // the new name's place must be known apart from the row's
    RemoveFromNameOrder(slot);
    Replace(slot, std::move(renamed));
    rows_[slot].generation = generation_;
    AddToNameOrder({slot});
    Reposition(slot);
    return true;
}

bool TStShellListModel::Remove(const std::string& parsingName)
{
    const std::optional<Slot> found = FindSlot(parsingName);
    if (!found)
        return false;
    const Slot slot = *found;
    Hide(slot);
    RemoveFromNameOrder(slot);
    Release(slot);
    return true;
}

void TStShellListModel::RemoveUnstamped()
{
    std::vector<int> rows;
    std::vector<Slot> gone;
    for (Slot slot = 0; slot < Slot(rows_.size()); ++slot) {
        if (!rows_[slot].live || rows_[slot].generation == generation_)
            continue;
        gone.push_back(slot);
        if (rowOfSlot_[slot] >= 0)
            rows.push_back(rowOfSlot_[slot]);
    }
    if (gone.empty())
        return;
    // Runs of neighbouring rows go together, from the last up, so that the
    // rows still to go keep their numbers.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (std::size_t at = 0; at < rows.size();) {
        std::size_t end = at + 1;
        while (end < rows.size() && rows[end] == rows[end - 1] - 1)
            ++end;
        const int first = rows[end - 1];
        const int last = rows[at];
        beginRemoveRows({}, first, last);
        shown_.erase(shown_.begin() + first, shown_.begin() + last + 1);
        endRemoveRows();
        at = end;
    }
    for (Slot slot : gone) {
        rows_[slot].admitted = false;
        rowOfSlot_[slot] = -1;
    }
    Renumber(0);
    if (!nameOrderIsShown_)
        byName_.erase(std::remove_if(byName_.begin(), byName_.end(),
                                     [&](Slot slot) { return rows_[slot].generation != generation_; }),
                      byName_.end());
    nameRanksValid_ = false;
    for (Slot slot : gone)
        Release(slot);
}

void TStShellListModel::Readmit()
{
    EnsureNameOrder();
    beginResetModel();
    std::vector<Slot> admitted;
    for (Slot slot : byName_) {
        rows_[slot].admitted = Admits(rows_[slot].record);
        rowOfSlot_[slot] = -1;
        if (rows_[slot].admitted)
            admitted.push_back(slot);
    }
    EnsureNameRanks();
    shown_ = Order().Sorted([this](Slot slot) -> const ChildRecord& { return rows_[slot].record; }, admitted,
                            nameRanks_);
    Renumber(0);
    endResetModel();
}

void TStShellListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= kListColumnCount)
        return;
    sortColumn_ = static_cast<TStListColumn>(column);
    sortOrder_ = order;
    if (shown_.empty())
        return;
    EnsureNameRanks();
    ChangeLayout([this] {
        shown_ = Order().Sorted([this](Slot slot) -> const ChildRecord& { return rows_[slot].record; }, shown_,
                                nameRanks_);
    });
}

// What views ask.

int TStShellListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(shown_.size());
}

int TStShellListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kListColumnCount;
}

QString TStShellListModel::TypeText(const ChildRecord& record) const
{
    const int key = TStTypeRanks::KeyOf(record);
    auto found = typeTexts_.find(key);
    if (found == typeTexts_.end())
        found = typeTexts_.emplace(key, TypeTextOf(record)).first;
    return found->second;
}

QVariant TStShellListModel::DisplayText(const ChildRecord& record, int column) const
{
    switch (column) {
    case lcName:
        return QString::fromStdString(ShownNameOf(record));
    case lcSize:
        return record.file && !IsFolderRecord(record) ? SizeText(record.file->size) : QString();
    case lcType:
        return TypeText(record);
    case lcModified:
        return record.file ? ModifiedText(record.file->lastWriteSeconds) : QString();
    case lcAttributes:
        return QString::fromStdString(AttributeLetters(record));
    default:
        return {};
    }
}

QVariant TStShellListModel::ToolTip(const ChildRecord& record, int column) const
{
    if (column == lcSize && record.file && !IsFolderRecord(record))
        return ExactSizeText(record.file->size);
    if (column == lcModified && record.file)
        return ModifiedLongText(record.file->lastWriteSeconds);
    if (column == lcName)
        return QString::fromStdString(ShownNameOf(record));
    return {};
}

QVariant TStShellListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(shown_.size()))
        return {};
    const ChildRecord& record = RecordAt(index.row());
    const bool nameColumn = index.column() == lcName;
    switch (role) {
    case Qt::DisplayRole:
        return DisplayText(record, index.column());
    case Qt::EditRole:
        return nameColumn ? QVariant(QString::fromStdString(record.displayName)) : QVariant();
    case Qt::DecorationRole:
        return nameColumn ? QVariant(SystemImageList::small().icon(record.iconIndex)) : QVariant();
    case Qt::ToolTipRole:
        return ToolTip(record, index.column());
    case Qt::TextAlignmentRole:
        return index.column() == lcSize ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    case IconIndexRole:
        return record.iconIndex;
    case OverlayRole:
        return record.overlayIndex;
    case FolderRole:
        return IsFolderRecord(record);
    case HiddenRole:
        return (record.attributes & SFGAO_HIDDEN) != 0;
    case CompressedRole:
        return (record.attributes & SFGAO_COMPRESSED) != 0
            || (record.file && (record.file->findAttributes & FILE_ATTRIBUTE_COMPRESSED));
    default:
        return {};
    }
}

QVariant TStShellListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return ListColumnCaption(section);
    if (role == Qt::TextAlignmentRole && section == lcSize)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

// Views ask for every row's flags whenever they lay the rows out: they are
// kept apart from the records, in one byte per row, read in order.
std::uint8_t TStShellListModel::FlagsOf(const ChildRecord& record)
{
    std::uint8_t flags = 0;
    if (record.attributes & (SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK))
        flags |= kDraggable;
    if (record.attributes & SFGAO_CANRENAME)
        flags |= kRenamable;
    if (IsFolderRecord(record) && (record.attributes & SFGAO_DROPTARGET))
        flags |= kDropTarget;
    return flags;
}

Qt::ItemFlags TStShellListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled; // a drop between rows goes to the folder shown
    const std::uint8_t kept = flagsOfSlot_[shown_[std::size_t(index.row())]];
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (kept & kDraggable)
        flags |= Qt::ItemIsDragEnabled;
    if (index.column() == lcName && (kept & kRenamable))
        flags |= Qt::ItemIsEditable;
    if (kept & kDropTarget)
        flags |= Qt::ItemIsDropEnabled;
    return flags;
}
