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
        Path,    // `path`, not looked at yet: examineStartupPath tells where it leads
        Folder,  // open at `folder`
        File,    // open at `folder` with `fileName` selected
        Help,    // print `message` (the usage) and stop
        Invalid, // show `message` (to the error output and in a box); a usage error stops with status 2
    };
    Kind kind = Kind::None;
    std::string folder;   // absolute, with no trailing "/" unless it is "/"
    std::string fileName; // the file's own name, without its folder
    std::string message;
    std::string path{};   // for Path: made absolute, nothing else changed
};

// `arguments` are those after the program's name (the toolkit's own options
// already taken out); a relative path is taken from `workingFolder`. Nothing
// is looked up on the disk: a path on a share whose server stopped answering
// must not keep the window from showing.
StartupArgument parseStartupArgument(const std::vector<std::string>& arguments,
                                     const std::string& workingFolder);

// Where a Path argument leads: a Folder, a File, or Invalid with a message
// naming the path and the reason. Looks at the disk, so it may wait as long
// as the path's volume does: run it off the window's thread.
StartupArgument examineStartupPath(const std::string& path);

std::string startupUsageText();

} // namespace dw::app
