// SPDX-License-Identifier: MIT
#include "platform/settings/RegistryErrors.h"

namespace dw::platform {

ERegistryFileError ERegistryFileError::damaged(const std::string& path, std::size_t line,
                                               const std::string& reason)
{
    return {"Damaged settings file " + path + " at line " + std::to_string(line) + ": " + reason, path, line};
}

ERegistryFileError ERegistryFileError::unreadable(const std::string& path, const std::string& reason)
{
    return {"Cannot read the settings file " + path + ": " + reason, path, 0};
}

ERegistryFileError ERegistryFileError::unwritable(const std::string& path, const std::string& reason)
{
    return {"Cannot write the settings file " + path + ": " + reason, path, 0};
}

} // namespace dw::platform
