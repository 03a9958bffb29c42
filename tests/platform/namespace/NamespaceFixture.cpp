// SPDX-License-Identifier: MIT
#include "NamespaceFixture.h"

#include <fstream>
#include <system_error>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dw::platform::testing {

namespace {

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string replaced(std::string text, const std::string& token, const std::string& value)
{
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
        text.replace(at, token.size(), value);
    return text;
}

} // namespace

TempNamespace::~TempNamespace()
{
    scope_.reset();
    namespace_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

TempNamespace::TempNamespace(const std::string& extraMounts)
{
    root = dir_.path().toStdString();
    home = makeFolder("home");
    desktop = makeFolder("home/Desktop");
    makeFolder("home/.local");
    makeFolder("home/.local/share");
    trash = makeFolder("home/.local/share/Trash");
    makeFolder("home/.local/share/Trash/files");
    makeFolder("home/.local/share/Trash/info");
    makeFolder("sys");
    writeFile(root + "/mounts", "proc /proc proc rw 0 0\n/dev/vda / ext4 rw 0 0\n"
                                    + replaced(extraMounts, "@ROOT@", root));

    NamespaceEnvironment environment;
    environment.homePath = home;
    environment.desktopPath = desktop;
    environment.trashPath = trash;
    environment.mountTablePath = root + "/mounts";
    environment.sysBlockPath = root + "/sys/block";
    namespace_ = std::make_shared<LinuxShellNamespace>(environment);
    scope_ = std::make_unique<ScopedShellNamespace>(namespace_);
}

std::string TempNamespace::makeFolder(const std::string& relative) const
{
    const std::string path = root + "/" + relative;
    ::mkdir(path.c_str(), 0755);
    return path;
}

std::string TempNamespace::makeFile(const std::string& relative, const std::string& content) const
{
    const std::string path = root + "/" + relative;
    writeFile(path, content);
    return path;
}

std::string TempNamespace::makeLink(const std::string& target, const std::string& relative) const
{
    const std::string path = root + "/" + relative;
    if (::symlink(target.c_str(), path.c_str()) != 0)
        throw std::runtime_error("cannot link " + path);
    return path;
}

void TempNamespace::trashFile(const std::string& entryName, const std::string& originalPath) const
{
    writeFile(trash + "/files/" + entryName, "trashed");
    writeFile(trash + "/info/" + entryName + ".trashinfo",
              "[Trash Info]\nPath=" + originalPath + "\nDeletionDate=2026-01-01T10:00:00\n");
}

std::vector<IdListPtr> enumerate(IShellFolder& folder, ShcontfFlags flags)
{
    std::vector<IdListPtr> children;
    std::unique_ptr<IEnumIdList> enumerator;
    if (failed(folder.EnumObjects(flags, enumerator)))
        return children;
    IdListPtr child;
    while (enumerator->Next(child) == S_OK)
        children.push_back(std::move(child));
    return children;
}

std::string displayName(IShellFolder& folder, const ItemIdList* relative, ShgdnFlags flags)
{
    std::string name;
    folder.GetDisplayNameOf(relative, flags, name);
    return name;
}

SfgaoFlags attributesOf(IShellFolder& folder, const ItemIdList* relative, SfgaoFlags asked)
{
    SfgaoFlags attributes = asked;
    if (failed(folder.GetAttributesOf({relative}, attributes)))
        return 0;
    return attributes;
}

IdListPtr childNamed(IShellFolder& folder, const std::string& name)
{
    for (IdListPtr& child : enumerate(folder, kAllChildren)) {
        if (displayName(folder, child.get(), SHGDN_FORPARSING | SHGDN_INFOLDER) == name)
            return std::move(child);
    }
    return nullptr;
}

ShellFolderPtr folderAt(const std::string& path)
{
    return bindToFolder(parsingNameToIdList(path).get());
}

bool holdsWithoutPrivileges(const std::function<bool()>& check)
{
    if (::geteuid() != 0)
        return check();
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace dw::platform::testing
