// SPDX-License-Identifier: MIT
#pragma once
// How an error message reads in the error box: a full stop is added when the
// text ends with a character that sorts after "." (so "Done." and "Really!"
// stay as they are, "Stream write error" gets one). An empty text stays empty.

#include <string>

std::string SsWithFullStop(const std::string& message);
