// SPDX-License-Identifier: MIT
#pragma once
// The rows of a file list as a Qt table model: one copyable record per
// child of the shown folder, as the listing producer made it off the UI
// thread, and a column per fact (TStListColumn). The model keeps every
// record, also those the filter does not admit (so that changing the
// filter needs no new listing), finds a record by its parsing name through
// a hash, and keeps the admitted ones in the order of TStListOrder.
//
// New records join in their places by a merge; a changed record stays
// where it is unless it left its place among its neighbours; re-sorting
// by another column compares numbers only (see TStListOrder::Sorted).

#include "platform/listing/ChildRecord.h"
#include "shell/list/StListOptions.h"
#include "shell/list/StListOrder.h"

#include <QAbstractTableModel>
#include <QMultiHash>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TStShellListModel : public QAbstractTableModel {
public:
    // Further roles the list's delegate draws from (column 0).
    enum Role { IconIndexRole = Qt::UserRole + 1, OverlayRole, FolderRole, HiddenRole, CompressedRole };

    explicit TStShellListModel(QObject* parent = nullptr);
    ~TStShellListModel() override;

    // Which records become rows; asked of each record as it comes.
    using Admission = std::function<bool(const dw::platform::ChildRecord& record)>;
    void SetAdmission(Admission admission) { admission_ = std::move(admission); }
    // Asks again of every record (the filter changed).
    void Readmit();
    // Records without collation keys (virtual folders) are ordered by this
    // folder's CompareIDs, as the namespace orders them.
    void SetDesktopFolder(dw::platform::ShellFolderPtr desktop) { desktop_ = std::move(desktop); }

    void Clear();
    // Takes records of the shown folder. One whose parsing name is held
    // already replaces that record; the others become rows in their places.
    // Every record taken is stamped with the current generation.
    void Merge(std::vector<dw::platform::ChildRecord> records);
    // The record renamed: `renamed` takes its place (and its selection).
    bool Rename(const std::string& oldParsingName, dw::platform::ChildRecord renamed);
    bool Remove(const std::string& parsingName);
    // A re-read starts a generation; what it did not bring then goes.
    void BeginGeneration() { ++generation_; }
    void RemoveUnstamped();

    int RecordCount() const { return int(slotsByPathHash_.size()); }
    bool Holds(const std::string& parsingName) const;
    // The row showing that record; -1 when none does.
    int RowOfPath(const std::string& parsingName) const;
    const dw::platform::ChildRecord& RecordAt(int row) const;
    const dw::platform::ChildRecord* FindRecord(const std::string& parsingName) const;

    TStListColumn GetSortColumn() const { return sortColumn_; }
    Qt::SortOrder GetSortOrder() const { return sortOrder_; }
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        dw::platform::ChildRecord record;
        std::uint32_t generation = 0;
        bool admitted = false;
        bool live = false; // a record is here (the slot is not free)
    };
    using Slot = std::uint32_t;

    TStListOrder Order() const { return TStListOrder(sortColumn_, sortOrder_, types_, desktop_.get()); }
    bool Before(Slot a, Slot b) const { return Order().Compare(rows_[a].record, rows_[b].record) < 0; }
    bool Admits(const dw::platform::ChildRecord& record) const { return !admission_ || admission_(record); }
    QString TypeText(const dw::platform::ChildRecord& record) const;
    QVariant DisplayText(const dw::platform::ChildRecord& record, int column) const;
    QVariant ToolTip(const dw::platform::ChildRecord& record, int column) const;

    static constexpr std::uint8_t kDraggable = 1;
    static constexpr std::uint8_t kRenamable = 2;
    static constexpr std::uint8_t kDropTarget = 4;
    static std::uint8_t FlagsOf(const dw::platform::ChildRecord& record);

    static std::size_t PathHash(std::string_view parsingName) { return std::hash<std::string_view>()(parsingName); }
    std::optional<Slot> FindSlot(const std::string& parsingName) const;
    void Index(Slot slot);
    void Unindex(Slot slot);
    Slot Allocate(dw::platform::ChildRecord record);
    void Release(Slot slot);
    void Replace(Slot slot, dw::platform::ChildRecord record);
    void AddToNameOrder(std::vector<Slot> entries);
    void RemoveFromNameOrder(Slot slot);
    // The name order is kept apart only once it differs from the rows shown.
    void EnsureNameOrder();
    void EnsureNameRanks();
    void Show(std::vector<Slot> entries);
    void Hide(Slot slot);
    // Puts a shown row whose record changed back in its place.
    void Reposition(Slot slot);
    void Renumber(std::size_t fromRow);
    // Reorders the shown rows with `reorder`, keeping what views point at.
    void ChangeLayout(const std::function<void()>& reorder);

    std::deque<Row> rows_;                 // by slot: records never move
    std::vector<Slot> freeSlots_;
    std::vector<Slot> shown_;              // view row -> slot
    std::vector<std::int32_t> rowOfSlot_;  // slot -> view row, -1 when not shown
    std::vector<std::uint8_t> flagsOfSlot_; // slot -> what flags() answers (FlagsOf)
    std::vector<Slot> byName_;             // every record, in name order
    // While every record is shown, sorted by name, the rows shown are the
    // name order: byName_ is not kept (half the work of a big listing).
    bool nameOrderIsShown_ = true;
    std::vector<std::uint32_t> nameRanks_; // slot -> place in byName_
    bool nameRanksValid_ = false;
    // Slots by a hash of their parsing names; a lookup checks the name
    // itself. Growing it rehashes numbers, not names, so a folder of
    // 100,000 files never waits for its names to be hashed again.
    QMultiHash<std::size_t, Slot> slotsByPathHash_;
    TStTypeRanks types_;
    mutable std::unordered_map<int, QString> typeTexts_; // one text per type, not per row
    TStListColumn sortColumn_ = lcName;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    dw::platform::ShellFolderPtr desktop_;
    Admission admission_;
    std::uint32_t generation_ = 0;
};
