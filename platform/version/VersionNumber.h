// SPDX-License-Identifier: MIT
#pragma once
// Version texts as numbers.
//
// A version text becomes a number this way: when the whole text is a decimal
// number (written with the locale's decimal separator) it is taken as it is;
// otherwise the text up to, not including, its second "." is kept, cut to at
// most 5 characters, its "." replaced by the locale's decimal separator, and
// that is converted. So "4.72.3110.0" gives 4.72, and
// "6.1.7601.17514 (win7sp1_rtm)" gives 6.1.

#include <optional>
#include <string>
#include <string_view>

namespace dw::platform {

// The decimal separator of the process's numeric locale (LC_NUMERIC).
std::string LocaleDecimalSeparator();

// `text` as a decimal number written with `separator`: an optional sign,
// digits, an optional fraction and an optional exponent, with blanks allowed
// around it. Nothing when the text is anything else.
std::optional<double> DecimalTextToNumber(std::string_view text, std::string_view separator);

// The version rule above; nothing when even the shortened text is no number.
std::optional<double> VersionTextToNumber(std::string_view text, std::string_view separator);

} // namespace dw::platform
