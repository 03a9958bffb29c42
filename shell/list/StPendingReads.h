// SPDX-License-Identifier: MIT
#pragma once
// Children of the shown folder whose records must be read again (made,
// changed, renamed into it): gathered for one turn, then read together on
// the folder's volume, off the UI thread. A child that changes again while
// its read is under way is read once more after it.

#include "platform/idlist/IdList.h"
#include "shell/list/StCustomShellListView.h"

#include <set>
#include <string>
#include <vector>

struct TStCustomShellListView::PendingReads {
    std::vector<dw::platform::IdListPtr> relatives; // waiting for the next read
    std::set<std::string> paths;                    // their parsing names
    std::set<std::string> inFlight;                 // being read now
    std::set<std::string> again;                    // changed while in flight
    std::vector<dw::platform::IdListPtr> againRelatives;
    bool scheduled = false;
    bool reading = false;
};
