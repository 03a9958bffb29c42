// SPDX-License-Identifier: MIT
#pragma once
// The file list's option set, its view styles and its columns.

#include <cstdint>
#include <initializer_list>

enum TStListOption : int {
    loAllowRename,     // names are edited in place (F2, a slow second click, the menu's Rename)
    loAllowDrag,       // selected items can be dragged out
    loAllowDrop,       // the list takes drops into its folder or onto a folder row
    loShellMenu,       // the shell context menu on a right click or the menu key
    loShowHidden,      // hidden items are listed
    loShowFolders,     // folders are listed with the files
    loColorCompressed, // compressed items drawn in CompressedColor
    loMultiSelect,     // several items can be selected (Ctrl, Shift, Ctrl+A)
    loExtendedMenu,    // Shift with a right click adds the menu's extended verbs
};

class TStListOptions {
public:
    constexpr TStListOptions() = default;
    constexpr TStListOptions(std::initializer_list<TStListOption> members)
    {
        for (TStListOption member : members)
            Include(member);
    }
    static constexpr TStListOptions FromBits(std::uint16_t bits)
    {
        TStListOptions options;
        options.bits_ = static_cast<std::uint16_t>(bits & kAllBits);
        return options;
    }

    constexpr bool Contains(TStListOption member) const { return (bits_ & Bit(member)) != 0; }
    constexpr void Include(TStListOption member) { bits_ = static_cast<std::uint16_t>(bits_ | Bit(member)); }
    constexpr void Exclude(TStListOption member) { bits_ = static_cast<std::uint16_t>(bits_ & ~Bit(member)); }
    constexpr std::uint16_t Bits() const { return bits_; }
    constexpr bool operator==(const TStListOptions&) const = default;

private:
    static constexpr std::uint16_t kAllBits = 0x01FF;
    static constexpr std::uint16_t Bit(TStListOption member) { return static_cast<std::uint16_t>(1u << member); }
    std::uint16_t bits_ = 0;
};

// What a list starts with.
inline constexpr TStListOptions kDefaultListOptions{loAllowRename, loAllowDrag,   loAllowDrop,
                                                    loShellMenu,   loShowFolders, loMultiSelect};

// How the items are laid out: a table with a column per fact, or icons
// with their names (in columns, small, or large).
enum TStViewStyle : int { vsDetails, vsList, vsSmallIcons, vsLargeIcons };

enum TStListColumn : int { lcName, lcSize, lcType, lcModified, lcAttributes };
inline constexpr int kListColumnCount = 5;
