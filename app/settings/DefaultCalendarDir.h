// SPDX-License-Identifier: MIT
#pragma once
// The default calendar folder, read while the main window is created: the
// one value the converter reads from the current user's settings.

#include "app/settings/StartupArgument.h"

#include <stdexcept>
#include <string>

namespace dw::app {

// A setting that holds something else than the text asked for. The message
// is the one the application-wide error box shows.
class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* quillfenKey = "Software\\Quillfen";
inline constexpr const char* datewrightKey = "Software\\Quillfen\\Datewright 2";
inline constexpr const char* defaultCalendarDirName = "DefaultCalendarDir";

struct SettingSources {
    std::string settingsFile; // the user's settings store
    std::string winePrefix;   // "" for no look into a Wine prefix
};

// The user's settings file and Wine prefix, from the environment.
SettingSources settingSourcesFromEnvironment();

// Opens "Software\Quillfen" in the user's store, making it when missing,
// and answers its "Datewright 2" value "DefaultCalendarDir" as stored, up
// to its first NUL, environment references left as they are; "" when the
// key or the value is missing. When the store has no such value, the same
// value in the Wine prefix is used, its drive letter mapped to the folder
// the prefix gives it.
//
// Throws ERegistryException ("Invalid data type for 'DefaultCalendarDir'")
// for a value that is no string, and platform::ERegistryFileError for a
// settings file that cannot be read or is damaged (it is left untouched).
// A key that cannot be made (read-only or full disk) is no error: the
// value is then missing.
std::string readDefaultCalendarDir(const SettingSources& sources);

// Whether the tree can open the stored folder, looked up on the disk at
// `localPath` (the value itself, or where a share's name leads): a Folder
// at the value as stored, or Invalid with a message that names the value
// and says it came from the setting. An empty `localPath` stands for a
// relative value, which names no folder; nothing is looked up then.
// Otherwise it may wait as long as the folder's volume does: run it off the
// window's thread.
StartupArgument examineDefaultCalendarDir(const std::string& value, const std::string& localPath);

} // namespace dw::app
