// SPDX-License-Identifier: MIT
#pragma once
// Small helpers for tests that work on real files in a throw-away folder.

#include <filesystem>
#include <string>

namespace dw::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the conversion takes it: with a trailing "/".
    std::string prefix() const { return path_.string() + "/"; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// Names in the folder, sorted; handy to prove no stray file was left behind.
std::string listNames(const std::filesystem::path& folder);

bool runningAsRoot();

} // namespace dw::test
