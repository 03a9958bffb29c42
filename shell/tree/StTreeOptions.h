// SPDX-License-Identifier: MIT
#pragma once
// The folder tree's options, one bit each in the order listed, stored as a
// 16-bit set.

#include <cstdint>
#include <initializer_list>

enum TStTreeOption : int {
    toAllowRename,     // label editing when the selected item supports renaming
    toAllowDrag,       // begin-drag starts a shell drag
    toAllowDrop,       // the tree takes drops
    toColorCompressed, // compressed items drawn in CompressedColor
    toExpandTopNode,   // the root node is expanded after populating
    toExtendedMenu,    // passed on to the context menu
    toShellMenu,       // the shell context menu on the context-menu key or click
    toShowFiles,       // files are children too
    toShowHidden,      // hidden items are listed
};

class TStTreeOptions {
public:
    constexpr TStTreeOptions() = default;
    constexpr TStTreeOptions(std::initializer_list<TStTreeOption> members)
    {
        for (TStTreeOption member : members)
            bits_ = static_cast<std::uint16_t>(bits_ | bit(member));
    }
    static constexpr TStTreeOptions FromBits(std::uint16_t bits)
    {
        TStTreeOptions options;
        options.bits_ = static_cast<std::uint16_t>(bits & 0x01FF);
        return options;
    }

    constexpr bool Contains(TStTreeOption member) const { return (bits_ & bit(member)) != 0; }
    constexpr void Include(TStTreeOption member) { bits_ = static_cast<std::uint16_t>(bits_ | bit(member)); }
    constexpr void Exclude(TStTreeOption member) { bits_ = static_cast<std::uint16_t>(bits_ & ~bit(member)); }
    constexpr std::uint16_t Bits() const { return bits_; }
    constexpr bool operator==(const TStTreeOptions&) const = default;

private:
    static constexpr std::uint16_t bit(TStTreeOption member) { return static_cast<std::uint16_t>(1u << member); }
    std::uint16_t bits_ = 0;
};

// What a tree starts with.
inline constexpr TStTreeOptions kDefaultTreeOptions{toAllowRename, toAllowDrag, toAllowDrop, toExpandTopNode,
                                                    toShellMenu};
