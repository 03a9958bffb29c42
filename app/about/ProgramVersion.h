// SPDX-License-Identifier: MIT
#pragma once
// What the converter's programs print for --version, in the GNU form: the
// program, the package and its version, the copyright and the licence.

#include <string>
#include <string_view>

namespace dw::about {

// "2.20"
std::string_view packageVersion();

// "PROGRAM (Datewright Converter) 2.20", then the copyright, licence and
// warranty lines; ends with a newline.
std::string versionText(std::string_view program);

} // namespace dw::about
