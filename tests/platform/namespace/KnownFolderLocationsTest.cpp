// SPDX-License-Identifier: MIT
#include "NamespaceFixture.h"

#include "platform/namespace/IdRecord.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace dw::platform;
using namespace dw::platform::testing;

namespace {

// Points HOME and the XDG variables at the test's folders while it runs.
class UserEnvironment {
public:
    explicit UserEnvironment(const std::string& home)
    {
        save("HOME");
        save("XDG_CONFIG_HOME");
        save("XDG_DATA_HOME");
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    }
    ~UserEnvironment()
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

private:
    void save(const std::string& name)
    {
        const char* value = std::getenv(name.c_str());
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

std::string locationOf(int csidl)
{
    IdListPtr id;
    if (failed(SHGetSpecialFolderLocation(csidl, id)))
        return "<failed>";
    return idListToParsingName(id.get());
}

} // namespace

TEST(SpecialFolders, VirtualFoldersMapToTheirIds)
{
    TempNamespace ns;
    UserEnvironment user(ns.home);
    IdListPtr id;
    ASSERT_EQ(SHGetSpecialFolderLocation(CSIDL_DESKTOP, id), S_OK);
    EXPECT_EQ(ILGetSize(id.get()), 2u);
    EXPECT_EQ(locationOf(CSIDL_DRIVES), "computer:///");
    EXPECT_EQ(locationOf(CSIDL_NETWORK), "network:///");
    EXPECT_EQ(locationOf(CSIDL_BITBUCKET), "trash:///");
}

TEST(SpecialFolders, UserDirsComeFromTheXdgSettings)
{
    TempNamespace ns;
    UserEnvironment user(ns.home);
    ns.makeFolder("home/.config");
    ns.makeFolder("home/Docs");
    ns.makeFolder("home/Vorlagen");
    std::ofstream(ns.home + "/.config/user-dirs.dirs")
        << "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\nXDG_TEMPLATES_DIR=\"$HOME/Vorlagen\"\n";
    EXPECT_EQ(locationOf(CSIDL_PERSONAL), ns.home + "/Docs");
    EXPECT_EQ(locationOf(CSIDL_TEMPLATES), ns.home + "/Vorlagen");
    EXPECT_EQ(locationOf(CSIDL_DESKTOPDIRECTORY), ns.home + "/Desktop");
    EXPECT_EQ(locationOf(CSIDL_APPDATA), ns.home + "/.local/share");
}

TEST(SpecialFolders, FreedesktopLocations)
{
    TempNamespace ns;
    UserEnvironment user(ns.home);
    ns.makeFolder("home/.config");
    ns.makeFolder("home/.config/autostart");
    ns.makeFolder("home/.local/share/applications");
    EXPECT_EQ(locationOf(CSIDL_STARTUP), ns.home + "/.config/autostart");
    EXPECT_EQ(locationOf(CSIDL_PROGRAMS), ns.home + "/.local/share/applications");
    EXPECT_EQ(locationOf(CSIDL_STARTMENU), ns.home + "/.local/share/applications");
    // Known location, but the folder is not there: nothing to show.
    EXPECT_EQ(locationOf(CSIDL_RECENT), "<failed>");
}

TEST(SpecialFolders, FoldersWithoutLinuxCounterpartFail)
{
    TempNamespace ns;
    UserEnvironment user(ns.home);
    for (int csidl : {CSIDL_CONTROLS, CSIDL_PRINTERS, CSIDL_CONNECTIONS, CSIDL_INTERNET, CSIDL_COOKIES,
                      CSIDL_HISTORY, CSIDL_FAVORITES, CSIDL_NETHOOD, CSIDL_PRINTHOOD}) {
        IdListPtr id;
        EXPECT_TRUE(failed(SHGetSpecialFolderLocation(csidl, id))) << csidl;
        EXPECT_FALSE(id);
    }
}
