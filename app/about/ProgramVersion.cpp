// SPDX-License-Identifier: MIT
#include "app/about/ProgramVersion.h"

namespace dw::about {

std::string_view packageVersion()
{
    return DW_PACKAGE_VERSION;
}

std::string versionText(std::string_view program)
{
    std::string text(program);
    text += " (Datewright Converter) ";
    text += packageVersion();
    text += "\n"
            "Copyright (C) 2026 The Datewright Converter developers.\n"
            "License MIT: <https://opensource.org/license/mit>.\n"
            "This is free software: you are free to change and redistribute it.\n"
            "There is NO WARRANTY, to the extent permitted by law.\n";
    return text;
}

} // namespace dw::about
