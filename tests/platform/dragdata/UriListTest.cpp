// SPDX-License-Identifier: MIT
#include "platform/dragdata/UriList.h"

#include <gtest/gtest.h>

using namespace dw::platform;

namespace {

using Paths = std::vector<std::string>;

UriListError errorOf(const std::string& list)
{
    UriListError error = UriListError::None;
    EXPECT_FALSE(decodeUriList(list, "calhost", &error)) << "accepted: " << list;
    return error;
}

} // namespace

TEST(UriList, NamesKeepEveryByteBothWays)
{
    const std::string odd = std::string("/home/ann/Cal \xE9t\xE9 100%#?\n\x01.dw2");
    const Paths paths = {"/home/ann/a.dw2", odd, "/"};
    const std::string list = encodeUriList(paths);
    EXPECT_EQ(list, "file:///home/ann/a.dw2\r\n"
                    "file:///home/ann/Cal%20%E9t%E9%20100%25%23%3F%0A%01.dw2\r\n"
                    "file:///\r\n");
    EXPECT_EQ(decodeUriList(list, "calhost"), paths);
}

TEST(UriList, OtherProgramsWaysOfWritingLocalFiles)
{
    const std::string list = "# dragged from a file manager\r\n"
                             "file://localhost/home/ann/a.dw2\r\n"
                             "\r\n"
                             "FILE://CalHost/home//ann/Cal/\n"
                             "  file:///home/ann/b%20c  \n"
                             "file:///home/ann/last";
    EXPECT_EQ(decodeUriList(list, "calhost"),
              (Paths{"/home/ann/a.dw2", "/home/ann/Cal", "/home/ann/b c", "/home/ann/last"}));
}

TEST(UriList, AnythingButLocalAbsoluteFilesRefusesTheWholeList)
{
    EXPECT_EQ(errorOf("file:///home/a\r\nhttps://example.org/a.dw2\r\n"), UriListError::NotLocalFile);
    EXPECT_EQ(errorOf("file://fileserver/share/a.dw2"), UriListError::NotLocalFile);
    EXPECT_EQ(errorOf("file://ann@calhost/a.dw2"), UriListError::NotLocalFile);
    EXPECT_EQ(errorOf("file:relative/a.dw2"), UriListError::NotLocalFile);
    EXPECT_EQ(errorOf("/home/ann/a.dw2"), UriListError::NotLocalFile);
    EXPECT_EQ(errorOf("file://calhost"), UriListError::BadPath);
    EXPECT_EQ(errorOf("file:///home/a%2"), UriListError::BadPath);
    EXPECT_EQ(errorOf("file:///home/a%zz"), UriListError::BadPath);
    EXPECT_EQ(errorOf("file:///home/a%00b"), UriListError::BadPath);
    EXPECT_EQ(errorOf("file:///home/a%2Fb"), UriListError::BadPath);
    EXPECT_EQ(errorOf(std::string("file:///home/a\0b", 17)), UriListError::BadPath);
    EXPECT_EQ(errorOf("file:///home/ann/../../etc/passwd"), UriListError::BadPath);
    EXPECT_EQ(errorOf("file:///home/ann/%2e%2e/x"), UriListError::BadPath);
    EXPECT_EQ(errorOf("file:///home/a.dw2?query"), UriListError::BadPath);
    EXPECT_EQ(errorOf("file:///home/a.dw2#part"), UriListError::BadPath);
    EXPECT_EQ(errorOf("file:///" + std::string(kMaxUriPathBytes, 'a')), UriListError::BadPath);
    EXPECT_EQ(errorOf("# nothing\r\n\r\n"), UriListError::Empty);
    std::string many;
    for (std::size_t i = 0; i <= kMaxUriListEntries; ++i)
        many += "file:///a\n";
    EXPECT_EQ(errorOf(many), UriListError::TooLarge);
    EXPECT_EQ(errorOf(std::string(kMaxUriListBytes + 1, '#')), UriListError::TooLarge);
}
