// SPDX-License-Identifier: MIT
#pragma once
// Where the settings live, from the environment as the desktop sets it.

#include <functional>
#include <string>

namespace dw::platform {

// Looks up an environment variable; nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

const EnvironmentLookup& processEnvironment();

// $XDG_CONFIG_HOME/datewright-converter/current-user.reg, with
// $XDG_CONFIG_HOME defaulting to ~/.config (a relative one is ignored, as
// the base directory rules say).
std::string userSettingsFilePath(const EnvironmentLookup& environment = processEnvironment());

// $WINEPREFIX, else ~/.wine.
std::string winePrefixPath(const EnvironmentLookup& environment = processEnvironment());

// $HOME, else the home folder of the account.
std::string homeFolder(const EnvironmentLookup& environment = processEnvironment());

} // namespace dw::platform
