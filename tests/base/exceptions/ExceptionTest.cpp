// SPDX-License-Identifier: MIT
#include "base/exceptions/SsBase.h"
#include "base/exceptions/SsMessageText.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

static_assert(std::is_base_of_v<std::exception, ESsException>);
static_assert(std::is_base_of_v<ESsException, ESsContainerError>);
static_assert(std::is_base_of_v<ESsException, ESsVersionInfoError>);
static_assert(std::is_base_of_v<ESsException, ESsShellError>);
static_assert(std::is_base_of_v<ESsException, ESsInvalidFolder>);
static_assert(std::is_base_of_v<ESsException, ESsBufStreamError>);
static_assert(std::is_base_of_v<ESsException, ESsRegExError>);

TEST(SsException, CodeConstructorTakesMessageFromTable)
{
    const ESsShellError error(ssscShellVersionError);
    EXPECT_EQ(error.ErrorCode(), 110);
    EXPECT_STREQ(error.what(), "Operation not supported in this version of the shell");
    EXPECT_EQ(error.Message(), error.what());
}

TEST(SsException, CodeIsKeptForCodesWithoutRow)
{
    const ESsException error(4711);
    EXPECT_EQ(error.ErrorCode(), 4711);
    EXPECT_STREQ(error.what(), "");
}

TEST(SsException, FormatConstructorUsesTableTextAsFormat)
{
    const ESsShellError error(ssscShellEntryMissing, {2, "SHChangeNotifyRegister"});
    EXPECT_EQ(error.ErrorCode(), ssscShellEntryMissing);
    EXPECT_STREQ(error.what(), "The shell module has no entry point 2 (SHChangeNotifyRegister)");
}

TEST(SsException, FormatConstructorWithMissingArgumentKeepsSpecifier)
{
    const ESsContainerError error(ssscIndexOutOfRange, {});
    EXPECT_STREQ(error.what(), "Index out of range: %d");
    EXPECT_EQ(error.ErrorCode(), ssscIndexOutOfRange);
}

TEST(SsException, CaughtThroughTheBaseKeepsCodeAndMessage)
{
    try {
        throw ESsInvalidFolder(ssscInvalidFolder);
    } catch (const ESsException& error) {
        EXPECT_EQ(error.ErrorCode(), 240);
        EXPECT_STREQ(error.what(), "Invalid folder");
        EXPECT_NE(dynamic_cast<const ESsInvalidFolder*>(&error), nullptr);
        return;
    }
    FAIL() << "not caught as ESsException";
}

TEST(SsException, EachSubclassKeepsTheCodeGiven)
{
    EXPECT_EQ(ESsContainerError(51).ErrorCode(), 51);
    EXPECT_EQ(ESsVersionInfoError(134).ErrorCode(), 134);
    EXPECT_STREQ(ESsVersionInfoError(134).what(), "The specified key cannnot be found in version info");
    EXPECT_EQ(ESsBufStreamError(270).ErrorCode(), 270);
    EXPECT_EQ(ESsRegExError(306, {}).ErrorCode(), 306);
    EXPECT_EQ(ESsShellError(-5).ErrorCode(), -5);
}

TEST(SsMessageText, FullStopOnlyAfterCharactersThatSortAfterIt)
{
    EXPECT_EQ(SsWithFullStop("Invalid folder"), "Invalid folder.");
    EXPECT_EQ(SsWithFullStop("Cannot create file /tmp/a.dw2"), "Cannot create file /tmp/a.dw2.");
    EXPECT_EQ(SsWithFullStop("Done."), "Done.");
    EXPECT_EQ(SsWithFullStop("Really!"), "Really!");   // "!" sorts before "."
    EXPECT_EQ(SsWithFullStop("Size (bytes)"), "Size (bytes)"); // so does ")"
    EXPECT_EQ(SsWithFullStop("caf\xc3\xa9"), "caf\xc3\xa9."); // bytes over 127 sort after it
    EXPECT_EQ(SsWithFullStop(""), "");
}

} // namespace
