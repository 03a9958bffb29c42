// SPDX-License-Identifier: MIT
#pragma once
// Failures of the settings store that the user has to be told about.

#include <stdexcept>
#include <string>

namespace dw::platform {

// The settings file cannot be taken as settings (it could not be read, or a
// line of it does not follow the format), or a change could not be written.
// The file is left as it was. what() names the file and, for a bad line,
// the line.
class ERegistryFileError : public std::runtime_error {
public:
    static ERegistryFileError damaged(const std::string& path, std::size_t line, const std::string& reason);
    static ERegistryFileError unreadable(const std::string& path, const std::string& reason);
    static ERegistryFileError unwritable(const std::string& path, const std::string& reason);

    const std::string& path() const { return path_; }
    // From 1; 0 when the failure is not about one line.
    std::size_t line() const { return line_; }

private:
    ERegistryFileError(const std::string& message, std::string path, std::size_t line)
        : std::runtime_error(message), path_(std::move(path)), line_(line) {}

    std::string path_;
    std::size_t line_;
};

} // namespace dw::platform
