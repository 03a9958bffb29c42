// SPDX-License-Identifier: MIT
#pragma once
// The converter's icon for its windows and boxes.

#include <QIcon>

namespace dw::desktop {

// The desktop theme's "datewright-converter" icon (the installed hicolor
// SVG and PNGs, or a theme's own); where no theme has it, or Qt cannot read
// it (SVG without the Qt SVG plugin), the PNGs built into the program.
// Needs a QGuiApplication.
QIcon applicationIcon();

// The PNGs built into the program alone, 16 to 256 pixels.
QIcon builtInApplicationIcon();

} // namespace dw::desktop
