// SPDX-License-Identifier: MIT
#include "base/exceptions/SsBase.h"
#include "platform/shellmodule/ClipboardFormats.h"
#include "platform/shellmodule/ShellListFunctions.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace dw::platform;

namespace {

template <class Function>
ModuleProc asProc(Function function)
{
    return reinterpret_cast<ModuleProc>(function);
}

ModuleDefinition shellWithout(std::uint16_t missing, const char* name)
{
    ModuleHandle real = LoadModule(kShellModuleName);
    ModuleDefinition fake{name, {}};
    for (std::uint16_t ordinal : {2, 4, 16, 17, 18, 19, 21, 25, 152, 153, 155}) {
        if (ordinal != missing)
            fake.exports.push_back({ordinal, "entry", GetProcAddressByOrdinal(real, ordinal)});
    }
    FreeModule(real);
    return fake;
}

class ShellListFunctionsTest : public ::testing::Test {
protected:
    void TearDown() override { ReleaseShellListFunctions(); }
};

TEST_F(ShellListFunctionsTest, TableHoldsTheShellsFunctions)
{
    const ShellListFunctionTable& shell = ShellListFunctions();
    EXPECT_EQ(shell.ILClone, &ILClone);
    EXPECT_EQ(shell.ILFree, &ILFree);
    EXPECT_EQ(shell.ILCombine, &ILCombine);
    EXPECT_EQ(shell.SHChangeNotifyRegister, &SHChangeNotifyRegister);
    EXPECT_EQ(shell.SHChangeNotifyDeregister, &SHChangeNotifyDeregister);
    EXPECT_EQ(&ShellListFunctions(), &shell); // loaded once
}

TEST_F(ShellListFunctionsTest, FunctionsWorkThroughTheTable)
{
    const ShellListFunctionTable& shell = ShellListFunctions();
    IdListPtr first(ILCreateFromData("folder"));
    IdListPtr second(ILCreateFromData("file.dw2"));
    IdListPtr both(shell.ILCombine(first.get(), second.get()));
    ASSERT_TRUE(both);
    EXPECT_EQ(shell.ILGetSize(both.get()), 2u + 8u + 10u);
    IdListPtr copy(shell.ILClone(both.get()));
    EXPECT_TRUE(shell.ILIsEqual(copy.get(), both.get()));
    IdListPtr head(shell.ILCloneFirst(copy.get()));
    EXPECT_TRUE(shell.ILIsEqual(head.get(), first.get()));
    const ItemIdList* last = shell.ILFindLastID(copy.get());
    EXPECT_EQ(ILIdData(last), "file.dw2");
    EXPECT_EQ(shell.ILGetNext(copy.get()), last);
    EXPECT_TRUE(shell.ILRemoveLastID(copy.get()));
    EXPECT_TRUE(shell.ILIsEqual(copy.get(), first.get()));
    shell.ILFree(head.release());
}

TEST_F(ShellListFunctionsTest, TableHoldsOneModuleReferenceUntilReleased)
{
    const int before = ModuleReferenceCount(kShellModuleName);
    ShellListFunctions();
    ShellListFunctions();
    EXPECT_EQ(ModuleReferenceCount(kShellModuleName), before + 1);
    ReleaseShellListFunctions();
    EXPECT_EQ(ModuleReferenceCount(kShellModuleName), before);
    EXPECT_NE(ShellListFunctions().ILClone, nullptr); // loads again
    EXPECT_EQ(ModuleReferenceCount(kShellModuleName), before + 1);
}

TEST_F(ShellListFunctionsTest, IdListClipboardFormatIsRegisteredWithTheTable)
{
    const unsigned format = ShellIdListArrayFormat();
    EXPECT_GE(format, kFirstRegisteredFormat);
    EXPECT_EQ(GetClipboardFormatName(format), "Shell IDList Array");
    EXPECT_EQ(RegisterClipboardFormat("Shell IDList Array"), format);
}

TEST_F(ShellListFunctionsTest, MissingOrdinalFailsClearlyAndHoldsNothing)
{
    for (auto [ordinal, name] : {std::pair<std::uint16_t, const char*>{25, "ILCombine"}, {2, "SHChangeNotifyRegister"},
                                 {4, "SHChangeNotifyDeregister"}, {155, "ILFree"}}) {
        ASSERT_TRUE(RegisterModule(shellWithout(ordinal, "oldshell")));
        ShellListFunctionTable table;
        ModuleHandle module = nullptr;
        try {
            LoadShellListFunctionsFrom("oldshell", table, module);
            FAIL() << "loaded without ordinal " << ordinal;
        } catch (const ESsShellError& error) {
            EXPECT_EQ(error.ErrorCode(), ssscShellEntryMissing);
            EXPECT_EQ(error.Message(),
                      "The shell module has no entry point " + std::to_string(ordinal) + " (" + name + ")");
        }
        EXPECT_EQ(module, nullptr);
        EXPECT_EQ(table.ILClone, nullptr); // the caller's table is left alone
        EXPECT_EQ(ModuleReferenceCount("oldshell"), 0);
        ASSERT_TRUE(UnregisterModule("oldshell"));
    }
}

TEST_F(ShellListFunctionsTest, CompleteOtherModuleLoads)
{
    ASSERT_TRUE(RegisterModule(shellWithout(0, "fullshell")));
    ShellListFunctionTable table;
    ModuleHandle module = nullptr;
    LoadShellListFunctionsFrom("fullshell", table, module);
    EXPECT_NE(module, nullptr);
    EXPECT_EQ(table.ILGetNext, static_cast<ItemIdList* (*)(ItemIdList*)>(&ILGetNext));
    EXPECT_EQ(ModuleReferenceCount("fullshell"), 1);
    EXPECT_TRUE(FreeModule(module));
    EXPECT_TRUE(UnregisterModule("fullshell"));
}

TEST_F(ShellListFunctionsTest, MissingModule)
{
    ShellListFunctionTable table;
    ModuleHandle module = nullptr;
    try {
        LoadShellListFunctionsFrom("noshell", table, module);
        FAIL() << "loaded a module that does not exist";
    } catch (const ESsShellError& error) {
        EXPECT_EQ(error.ErrorCode(), ssscShellModuleNotLoaded);
        EXPECT_EQ(error.Message(), "Cannot load the shell module noshell");
    }
    EXPECT_EQ(module, nullptr);
}

} // namespace
