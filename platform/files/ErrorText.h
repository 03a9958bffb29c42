// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace dw::platform {

// A short human-readable reason for an errno value.
std::string describeError(int error);

} // namespace dw::platform
