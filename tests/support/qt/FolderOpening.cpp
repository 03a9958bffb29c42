// SPDX-License-Identifier: MIT
#include "tests/support/qt/FolderOpening.h"

#include "platform/namespace/ShellNamespace.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace dw::test {

using namespace dw::platform;

void openFolder(const ItemIdList* folder)
{
    ShellFolderPtr shellFolder = bindToFolder(folder);
    ASSERT_TRUE(shellFolder);
    std::unique_ptr<IEnumIdList> children;
    ASSERT_TRUE(succeeded(shellFolder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, children)));
    IdListPtr child;
    while (children->Next(child) == S_OK) {
    }
    QCoreApplication::processEvents();
}

void openFolder(const std::string& parsingName)
{
    openFolder(parsingNameToIdList(parsingName).get());
}

} // namespace dw::test
