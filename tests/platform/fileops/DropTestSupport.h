// SPDX-License-Identifier: MIT
#pragma once
// Helpers of the drop tests: a user interface that records the errors it is
// shown, and file probes. (A small file system of their own is the
// namespace fixture's ScratchVolume.)

#include "platform/namespace/ContextMenu.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace dw::platform::testing {

class ErrorUi : public IShellUi {
public:
    std::vector<std::string> errors;
    bool confirm(const std::string&, const std::string&) override { return true; }
    void showError(const std::string&, const std::string& message) override { errors.push_back(message); }
    bool askText(const std::string&, const std::string&, std::string&) override { return false; }
    void copyText(const std::string&) override {}
    bool chooseApplication(const std::string&, std::vector<std::string>&) override { return false; }
    void showProperties(const std::vector<std::string>&) override {}
};

inline std::string contentOf(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline bool exists(const std::string& path)
{
    return std::filesystem::exists(std::filesystem::symlink_status(path));
}

} // namespace dw::platform::testing
