// SPDX-License-Identifier: MIT
#pragma once
// What a person sees of the calendar list while it fills: the list's area
// is grabbed from the screen (under a real X server such as xvfb-run) every
// few milliseconds, and a frame that shows no row at all while the list
// already holds rows is a blank one: the list blinked.

#include <functional>

class QWidget;

struct FrameCount {
    int frames = 0;
    int blank = 0;
};

class ListFrames {
public:
    // Grabs `list` (a widget of a shown window) while the event loop turns
    // until `done` says so; `rows` tells how many rows the list holds.
    static FrameCount Watch(QWidget& list, const std::function<int()>& rows, const std::function<bool()>& done);
};
