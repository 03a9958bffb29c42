// SPDX-License-Identifier: MIT
#pragma once
// The window's optional argument, `datewright-converter [FOLDER | FILE.dw2]`,
// so that a file manager's "Open With" opens the converter at that place.

#include <string>
#include <vector>

namespace dw::app {

struct StartupArgument {
    enum class Kind {
        None,    // no argument: open at the stored folder
        Folder,  // open at `folder`
        File,    // open at `folder` with `fileName` selected
        Help,    // print `message` (the usage) and stop
        Invalid, // print `message` to the error output and stop with status 2
    };
    Kind kind = Kind::None;
    std::string folder;   // absolute, with no trailing "/" unless it is "/"
    std::string fileName; // the file's own name, without its folder
    std::string message;
};

// `arguments` are those after the program's name (the toolkit's own options
// already taken out); a relative path is taken from `workingFolder`.
StartupArgument parseStartupArgument(const std::vector<std::string>& arguments,
                                     const std::string& workingFolder);

std::string startupUsageText();

} // namespace dw::app
