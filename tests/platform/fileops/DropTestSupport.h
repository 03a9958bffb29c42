// SPDX-License-Identifier: MIT
#pragma once
// Helpers of the drop tests: a user interface that records the errors it is
// shown, file probes, and a small file system of its own.

#include "platform/namespace/ContextMenu.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/mount.h>
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

// A tmpfs of `size` mounted on an empty folder: a second volume, or one to
// fill. Needs the right to mount (root); check mounted() and skip without it.
class ScratchVolume {
public:
    ScratchVolume(std::string folder, const char* size) : folder_(std::move(folder))
    {
        std::filesystem::create_directories(folder_);
        const std::string options = std::string("size=") + size;
        mounted_ = ::mount("dwtest", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~ScratchVolume()
    {
        if (mounted_)
            ::umount2(folder_.c_str(), MNT_DETACH);
    }
    ScratchVolume(const ScratchVolume&) = delete;
    ScratchVolume& operator=(const ScratchVolume&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& path() const { return folder_; }
    bool makeReadOnly() const
    {
        return ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    std::string folder_;
    bool mounted_ = false;
};

} // namespace dw::platform::testing
