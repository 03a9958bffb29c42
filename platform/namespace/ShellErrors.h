// SPDX-License-Identifier: MIT
#pragma once
// Results of failed file operations and the texts shown for them.

#include "platform/namespace/ShellTypes.h"

#include <string>

namespace dw::platform {

// The result for an errno value of a failed call.
HResult resultFromErrno(int error);

// A sentence for the user, e.g. "A file or folder with this name already exists."
std::string shellErrorText(HResult result);

} // namespace dw::platform
