// SPDX-License-Identifier: MIT
#pragma once
// The kinds of change a shell notification component reports, one per bit
// of a set, and the shell event each stands for.

#include <cstdint>
#include <initializer_list>
#include <string_view>

enum TStNotifyEvents : int {
    neAssociationChange, // bit 0
    neAttributesChange,
    neFileChange,
    neFileCreate,
    neFileDelete,
    neFileRename,
    neDriveAdd,
    neDriveRemove,
    neShellDriveAdd,
    neDriveSpaceChange,
    neMediaInsert,
    neMediaRemove,
    neFolderCreate,
    neFolderDelete,
    neFolderRename,
    neFolderUpdate,
    neNetShare,
    neNetUnShare,
    neServerDisconnect,
    neImageListChange, // bit 19
};

inline constexpr int kNotifyEventCount = 20;

// A set of TStNotifyEvents (bit n = member n).
class TStNotifyEventsSet {
public:
    constexpr TStNotifyEventsSet() = default;
    constexpr TStNotifyEventsSet(std::initializer_list<TStNotifyEvents> members)
    {
        for (TStNotifyEvents member : members)
            bits_ |= bit(member);
    }

    static constexpr TStNotifyEventsSet All()
    {
        TStNotifyEventsSet all;
        all.bits_ = (1u << kNotifyEventCount) - 1;
        return all;
    }
    static constexpr TStNotifyEventsSet FromBits(std::uint32_t bits)
    {
        TStNotifyEventsSet set;
        set.bits_ = bits & All().bits_;
        return set;
    }

    constexpr bool Contains(TStNotifyEvents member) const { return (bits_ & bit(member)) != 0; }
    constexpr void Include(TStNotifyEvents member) { bits_ |= bit(member); }
    constexpr void Exclude(TStNotifyEvents member) { bits_ &= ~bit(member); }
    constexpr bool IsEmpty() const { return bits_ == 0; }
    constexpr std::uint32_t Bits() const { return bits_; }

    constexpr bool operator==(const TStNotifyEventsSet&) const = default;

private:
    static constexpr std::uint32_t bit(TStNotifyEvents member) { return 1u << static_cast<int>(member); }
    std::uint32_t bits_ = 0;
};

// The shell event (SHCNE_* value) a member stands for.
long NotifyEventShellEvent(TStNotifyEvents member);

// The OR of the shell events of every member of `events`.
long NotifyEventsShellMask(TStNotifyEventsSet events);

// The member's name as written in code, e.g. "neFolderCreate".
std::string_view NotifyEventName(TStNotifyEvents member);
