// SPDX-License-Identifier: MIT
#pragma once
// The texts of the main window.

#include <QString>

#include <string>

namespace dw::window {

inline constexpr const char* kWindowCaption = "Datewright Converter 2.20";
// The application's title: the caption of its message and error boxes.
inline constexpr const char* kApplicationTitle = "Datewright Converter 2.20";
inline constexpr const char* kIntroText =
    "This utility will insert the new EventAlign, EventIconHeight, and UseEventColor properties into .dw2 "
    "calendar files created prior to version 2.20 of Datewright.";
inline constexpr const char* kSelectAllCaption = "Select All";
inline constexpr const char* kConvertSelectedCaption = "Convert Selected";

// What the status panel shows after the folder: while the listed calendars
// are being checked, and how many of them need converting once they are.
QString checkingSuffix(int listed);
QString needConvertingSuffix(int needing, int listed);

// What the status panel shows after the start place while its disk does not
// answer: at first, and once it has been silent for a while.
QString waitingForDiskSuffix();
QString noAnswerSuffix();

// The line below the error that stopped a run.
std::string filesModifiedBeforeErrorText(int written);

} // namespace dw::window
