// SPDX-License-Identifier: MIT
#pragma once
// Opening folders as a view does: folders are watched for changes only once
// something has read them.

#include "platform/idlist/IdList.h"

#include <string>

namespace dw::test {

// Reads every child of the folder, files included, then lets the events that
// caused run. A failed test assertion when the folder cannot be read.
void openFolder(const dw::platform::ItemIdList* folder);
void openFolder(const std::string& parsingName);

} // namespace dw::test
