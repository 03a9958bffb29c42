// SPDX-License-Identifier: MIT
#pragma once
// Change notification: registering a window for change reports, and the call
// through which the namespace's own operations report what they changed.
//
// A report is an event word (SHCNE_* bits, ShellChangeEvents.h) and up to two
// absolute item id lists. It reaches each matching registration as the
// registration's message, posted to its window and handled there on the
// window's thread, in the order the reports were made:
//
//   wParam  points to a SHChangeNotifyLists holding the report's two lists
//           (each may be null); valid only while the message is handled.
//           The posted message owns its own copies and frees them.
//   lParam  the event word.
//
// A registration matches a report when its event mask shares a bit with the
// event word, its sources include the report's source, and one of its entries
// covers one of the report's lists: a recursive entry covers its own list and
// everything below it, a plain one its own list and its direct children.
// Machine-wide events (SHCNE_UNBOUNDEVENTS) and reports without any list
// match every entry.
//
// Deregistering stops delivery at once, including reports already posted and
// not yet handled, with one exception: when the same window registers again
// (for the same message) before such a report is handled, and the new
// registration wants it, it is still delivered, since a window changing its
// registration must not lose changes it was already sent. Nothing is
// delivered to a window after it is destroyed.
// All functions may be called from any thread.

#include "platform/changes/ShellChangeEvents.h"
#include "platform/idlist/IdList.h"
#include "platform/messagewindow/MessageWindow.h"

#include <cstdint>

namespace dw::platform {

struct SHChangeNotifyEntry {
    const ItemIdList* pidl; // absolute; null stands for the desktop
    bool fRecursive;
};

// What a report message's wParam points to.
struct SHChangeNotifyLists {
    const ItemIdList* item1;
    const ItemIdList* item2;
};

// Registers `window` for reports of the kinds in `events` from the `sources`
// (SHCNRF_*) concerning the entries' folders, delivered as `message`.
// SHCNRF_RecursiveInterrupt and SHCNRF_NewDelivery are accepted and change
// nothing: interrupt-level reports follow the entries' own recursion, and
// delivery is always the one described above.
// Answers the registration id, or 0 when nothing was registered (no window,
// no entries, no event or no source asked for).
unsigned long SHChangeNotifyRegister(MessageWindow* window, int sources, long events, unsigned message,
                                     int entryCount, const SHChangeNotifyEntry* entries);

// Ends a registration; false when `id` is not registered.
bool SHChangeNotifyDeregister(unsigned long id);

// Reports a change made by our own code (a shell-level report). `flags`
// (SHCNF_*) says what the items are: SHCNF_IDLIST for absolute id lists, or
// SHCNF_DWORD for lists made by MakeDwordIdList; other kinds (paths,
// printers) are ignored. SHCNF_FLUSH changes nothing: reports are always
// posted, never handled inside this call. Lists are copied; the caller keeps
// its own.
void SHChangeNotify(long eventId, unsigned flags, const ItemIdList* item1, const ItemIdList* item2);

// The list form of 32-bit values that machine-wide reports carry (e.g. the
// drive mask of SHCNE_FREESPACE): the values follow the 2-byte size field.
IdListPtr MakeDwordIdList(std::uint32_t value1, std::uint32_t value2 = 0);

// The first value of such a list (0 when the list is too short for one).
std::uint32_t DwordFromIdList(const ItemIdList* list);

} // namespace dw::platform
