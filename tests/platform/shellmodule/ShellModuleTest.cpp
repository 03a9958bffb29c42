// SPDX-License-Identifier: MIT
#include "platform/changes/ChangeNotify.h"
#include "platform/idlist/IdList.h"
#include "platform/shellmodule/ShellModule.h"

#include <gtest/gtest.h>

using namespace dw::platform;

namespace {

template <class Function>
ModuleProc asProc(Function function)
{
    return reinterpret_cast<ModuleProc>(function);
}

void noop() {}

class ShellModuleTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(ModuleReferenceCount(kShellModuleName), m_initialReferences); }
    int m_initialReferences = ModuleReferenceCount(kShellModuleName);
};

TEST_F(ShellModuleTest, ShellModuleServesEveryOrdinal)
{
    ModuleHandle shell = LoadModule("shell32");
    ASSERT_NE(shell, nullptr);
    using ConstList = const ItemIdList*;
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 2), asProc(&SHChangeNotifyRegister));
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 4), asProc(&SHChangeNotifyDeregister));
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 16), asProc(static_cast<ItemIdList* (*)(ItemIdList*)>(&ILFindLastID)));
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 17), asProc(&ILRemoveLastID));
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 18), asProc(&ILClone));
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 19), asProc(&ILCloneFirst));
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 21), asProc(&ILIsEqual));
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 25), asProc(&ILCombine));
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 152), asProc(static_cast<std::uint32_t (*)(ConstList)>(&ILGetSize)));
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 153), asProc(static_cast<ItemIdList* (*)(ItemIdList*)>(&ILGetNext)));
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 155), asProc(&ILFree));
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 0), nullptr);
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 3), nullptr);
    EXPECT_EQ(GetProcAddressByOrdinal(shell, 65535), nullptr);
    EXPECT_TRUE(FreeModule(shell));
}

TEST_F(ShellModuleTest, NamesCompareWithoutCaseAndSuffix)
{
    ModuleHandle a = LoadModule("shell32");
    ModuleHandle b = LoadModule("SHELL32.DLL");
    EXPECT_EQ(a, b);
    EXPECT_EQ(ModuleReferenceCount("Shell32"), m_initialReferences + 2);
    EXPECT_EQ(ModuleName(a), "shell32");
    FreeModule(a);
    FreeModule(b);
    EXPECT_EQ(LoadModule("shell"), nullptr);
    EXPECT_EQ(LoadModule(""), nullptr);
    EXPECT_EQ(LoadModule(".dll"), nullptr);
}

TEST_F(ShellModuleTest, ReleasedModuleAnswersNothing)
{
    ASSERT_TRUE(RegisterModule({"counted", {{7, "Seven", asProc(&noop)}}}));
    ModuleHandle module = LoadModule("counted");
    ModuleHandle again = LoadModule("counted");
    EXPECT_EQ(ModuleReferenceCount("counted"), 2);
    EXPECT_TRUE(FreeModule(module));
    EXPECT_EQ(GetProcAddressByOrdinal(again, 7), asProc(&noop));
    EXPECT_TRUE(FreeModule(again));
    EXPECT_EQ(GetProcAddressByOrdinal(again, 7), nullptr);
    EXPECT_FALSE(FreeModule(again));
    EXPECT_FALSE(FreeModule(nullptr));
    EXPECT_EQ(GetProcAddressByOrdinal(nullptr, 7), nullptr);
    EXPECT_TRUE(UnregisterModule("counted"));
    EXPECT_EQ(LoadModule("counted"), nullptr);
}

TEST_F(ShellModuleTest, ForeignHandlesAreRefused)
{
    ModuleRecord* bogus = reinterpret_cast<ModuleRecord*>(&m_initialReferences);
    EXPECT_FALSE(FreeModule(bogus));
    EXPECT_EQ(GetProcAddressByOrdinal(bogus, 18), nullptr);
    EXPECT_EQ(ModuleName(bogus), "");
}

TEST_F(ShellModuleTest, ShellModuleCannotBeReplacedOrRemoved)
{
    EXPECT_FALSE(RegisterModule({"Shell32.dll", {}}));
    EXPECT_FALSE(UnregisterModule("shell32"));
    ModuleHandle shell = LoadModule("shell32");
    EXPECT_NE(GetProcAddressByOrdinal(shell, 18), nullptr);
    FreeModule(shell);
}

TEST_F(ShellModuleTest, LoadedModuleCannotBeReplaced)
{
    ASSERT_TRUE(RegisterModule({"busy", {{1, "One", asProc(&noop)}}}));
    ModuleHandle busy = LoadModule("busy");
    EXPECT_FALSE(RegisterModule({"busy", {}}));
    EXPECT_FALSE(UnregisterModule("busy"));
    FreeModule(busy);
    EXPECT_TRUE(RegisterModule({"busy", {}}));
    ModuleHandle replaced = LoadModule("busy");
    EXPECT_EQ(replaced, busy); // the same record, so old handles stay safe
    EXPECT_EQ(GetProcAddressByOrdinal(replaced, 1), nullptr);
    FreeModule(replaced);
    EXPECT_TRUE(UnregisterModule("busy"));
}

} // namespace
