// SPDX-License-Identifier: MIT
#include "platform/shellmodule/ClipboardFormats.h"

#include <gtest/gtest.h>

using namespace dw::platform;

namespace {

TEST(ClipboardFormats, SameNameSameNumberWhateverTheCase)
{
    const unsigned format = RegisterClipboardFormat("Test Format A");
    EXPECT_GE(format, kFirstRegisteredFormat);
    EXPECT_LE(format, kLastRegisteredFormat);
    EXPECT_EQ(RegisterClipboardFormat("TEST FORMAT a"), format);
    EXPECT_EQ(GetClipboardFormatName(format), "Test Format A"); // as first registered
    EXPECT_NE(RegisterClipboardFormat("Test Format B"), format);
}

TEST(ClipboardFormats, EmptyNamesAndUnknownNumbers)
{
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);
    EXPECT_EQ(GetClipboardFormatName(0), "");
    EXPECT_EQ(GetClipboardFormatName(1), "");
    EXPECT_EQ(GetClipboardFormatName(kLastRegisteredFormat), "");
    EXPECT_EQ(ClipboardFormatMimeType(kLastRegisteredFormat), "");
}

TEST(ClipboardFormats, MimeTypeNamesTheFormat)
{
    const unsigned format = RegisterClipboardFormat("Shell IDList Array");
    EXPECT_EQ(ClipboardFormatMimeType(format), "application/x-dw-clipboard-format;value=\"Shell IDList Array\"");
    const unsigned odd = RegisterClipboardFormat("say \"hi\" \\ bye");
    EXPECT_EQ(ClipboardFormatMimeType(odd), "application/x-dw-clipboard-format;value=\"say \\\"hi\\\" \\\\ bye\"");
}

TEST(ClipboardFormats, NumbersRunOutCleanly)
{
    const unsigned known = RegisterClipboardFormat("Known before");
    unsigned last = 0;
    for (int i = 0; i < 0x4100; ++i) {
        const unsigned format = RegisterClipboardFormat("Format number " + std::to_string(i));
        if (format == 0)
            break;
        last = format;
    }
    EXPECT_EQ(last, kLastRegisteredFormat);
    EXPECT_EQ(RegisterClipboardFormat("One too many"), 0u);
    EXPECT_EQ(RegisterClipboardFormat("KNOWN BEFORE"), known); // known names still answer
}

} // namespace
