// SPDX-License-Identifier: MIT
#pragma once
// The namespace of a Linux desktop (see VirtualFolders.h for its layout).

#include "platform/namespace/NamespaceContext.h"
#include "platform/namespace/ShellNamespace.h"

namespace dw::platform {

class LinuxShellNamespace : public IShellNamespace {
public:
    LinuxShellNamespace();
    explicit LinuxShellNamespace(NamespaceEnvironment environment);

    ShellFolderPtr desktopFolder() override;
    HResult specialFolderLocation(int csidl, IdListPtr& result) override;
    DriveType driveTypeOf(const ItemIdList* absolute) override;
    bool executeDefaultVerb(const ItemIdList* absolute) override;
    std::optional<DriveType> volumeDriveType(const ItemIdList* absolute) override;
    std::string volumeKeyOf(const ItemIdList* absolute) override;
    std::string volumeKeyOfParsingName(const std::string& name) override;
    std::optional<std::string> localPathOf(const std::string& parsingName) override;

private:
    std::shared_ptr<NamespaceContext> context_;
    ShellFolderPtr desktop_;
};

} // namespace dw::platform
