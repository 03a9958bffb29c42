// SPDX-License-Identifier: MIT
#include "ProbeOutput.h"

#include "base/exceptions/SsBase.h"

#include <cstdio>

std::string escapedBytes(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || byte == '\\') {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            out += escape;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string idListHex(const dw::platform::ItemIdList* list)
{
    using namespace dw::platform;
    std::string out;
    for (const ItemIdList* id = list; ILIdSize(id) != 0; id = ILGetNext(id)) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(id);
        for (std::uint16_t i = 0; i < ILIdSize(id); ++i) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
            out += hex;
        }
        out.push_back(' ');
    }
    return out + "0000";
}

std::string driveTypeName(dw::platform::DriveType type)
{
    using dw::platform::DriveType;
    switch (type) {
    case DriveType::Removable:
        return "removable";
    case DriveType::Fixed:
        return "fixed";
    case DriveType::Remote:
        return "remote";
    case DriveType::CdRom:
        return "cdrom";
    case DriveType::RamDisk:
        return "ramdisk";
    case DriveType::NoRootDir:
        return "noroot";
    case DriveType::Unknown:
        break;
    }
    return "unknown";
}

std::string invalidFolderText()
{
    return ESsInvalidFolder(ssscInvalidFolder).what();
}
