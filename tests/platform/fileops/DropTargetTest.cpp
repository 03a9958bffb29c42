// SPDX-License-Identifier: MIT
#include "DropTestSupport.h"
#include "NamespaceFixture.h"

#include "platform/fileops/DropTarget.h"
#include "platform/fileops/FileTransfer.h"
#include "platform/fileops/FolderDropTarget.h"
#include "platform/namespace/ChangeReport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <thread>

using namespace dw::platform;
using namespace dw::platform::testing;

namespace {

constexpr unsigned kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

// The drop target of the folder at `path`, through its parent as the tree asks for it.
std::unique_ptr<IDropTarget> dropTargetOf(const std::string& path)
{
    const IdListPtr absolute = parsingNameToIdList(path);
    ShellFolderPtr parent = bindToParent(absolute.get());
    std::unique_ptr<IDropTarget> target;
    EXPECT_EQ(parent->GetDropTargetOf(ILFindLastID(absolute.get()), target), S_OK) << path;
    return target;
}

unsigned effectOf(IDropTarget& target, const std::vector<std::string>& paths, unsigned keyState,
                  unsigned allowed = kAll)
{
    unsigned effect = allowed;
    target.DragEnter(paths, keyState, effect);
    target.DragLeave();
    return effect;
}

} // namespace

TEST(DropTargets, EffectFollowsTheKeysAndTheVolume)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/a.dw2");
    ns.makeFolder("home/Target");
    const auto target = dropTargetOf(ns.home + "/Target");
    ASSERT_TRUE(target);
    EXPECT_EQ(effectOf(*target, {file}, 0), DROPEFFECT_MOVE); // same volume
    EXPECT_EQ(effectOf(*target, {file}, MK_CONTROL), DROPEFFECT_COPY);
    EXPECT_EQ(effectOf(*target, {file}, MK_SHIFT), DROPEFFECT_MOVE);
    EXPECT_EQ(effectOf(*target, {file}, MK_CONTROL | MK_SHIFT), DROPEFFECT_LINK);
    EXPECT_EQ(effectOf(*target, {file}, MK_ALT), DROPEFFECT_LINK);
    EXPECT_EQ(effectOf(*target, {file}, 0, DROPEFFECT_COPY), DROPEFFECT_COPY); // move not allowed
    EXPECT_EQ(effectOf(*target, {file}, MK_SHIFT, DROPEFFECT_COPY), DROPEFFECT_NONE);
    EXPECT_EQ(effectOf(*target, {}, 0), DROPEFFECT_NONE);
    EXPECT_EQ(effectOf(*target, {ns.home + "/missing"}, 0), DROPEFFECT_NONE);
}

TEST(DropTargets, NoFolderIntoItselfAndNoMoveToWhereItIs)
{
    TempNamespace ns;
    const std::string outer = ns.makeFolder("home/Outer");
    ns.makeFolder("home/Outer/Inner");
    EXPECT_EQ(effectOf(*dropTargetOf(outer), {outer}, MK_CONTROL), DROPEFFECT_NONE);
    EXPECT_EQ(effectOf(*dropTargetOf(outer + "/Inner"), {outer}, MK_CONTROL), DROPEFFECT_NONE);
    const std::string file = ns.makeFile("home/Outer/a.dw2");
    EXPECT_EQ(effectOf(*dropTargetOf(outer), {file}, 0), DROPEFFECT_NONE);
    EXPECT_EQ(effectOf(*dropTargetOf(outer), {file}, MK_CONTROL), DROPEFFECT_COPY);
}

TEST(DropTargets, CopyNeverReplacesAndKeepsLinksAsLinks)
{
    TempNamespace ns;
    const std::string folder = ns.makeFolder("home/Cal");
    ns.makeFile("home/Cal/a.dw2", "calendar");
    ns.makeLink("a.dw2", "home/Cal/link");
    const std::string target = ns.makeFolder("home/Target");
    ns.makeFolder("home/Target/Cal"); // already taken
    std::vector<long> events;
    const auto previous = setNamespaceChangeSink([&](long event, const ItemIdList*, const ItemIdList*) {
        events.push_back(event);
    });
    ErrorUi ui;
    unsigned effect = kAll;
    const HResult result = dropTargetOf(target)->Drop({folder}, MK_CONTROL, effect, ui);
    setNamespaceChangeSink(previous);
    ASSERT_EQ(result, S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(contentOf(target + "/Cal (2)/a.dw2"), "calendar");
    EXPECT_TRUE(std::filesystem::is_symlink(target + "/Cal (2)/link"));
    EXPECT_EQ(std::filesystem::read_symlink(target + "/Cal (2)/link"), "a.dw2");
    EXPECT_TRUE(std::filesystem::is_empty(target + "/Cal"));
    EXPECT_EQ(contentOf(folder + "/a.dw2"), "calendar"); // the source stays
    EXPECT_EQ(events, (std::vector<long>{SHCNE_MKDIR}));
}

TEST(DropTargets, MoveAndLink)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/a.dw2", "calendar");
    const std::string other = ns.makeFile("home/b.dw2", "other");
    const std::string target = ns.makeFolder("home/Target");
    std::vector<long> events;
    const auto previous = setNamespaceChangeSink([&](long event, const ItemIdList*, const ItemIdList*) {
        events.push_back(event);
    });
    ErrorUi ui;
    unsigned effect = kAll;
    EXPECT_EQ(dropTargetOf(target)->Drop({file}, 0, effect, ui), S_OK);
    effect = kAll;
    EXPECT_EQ(dropTargetOf(target)->Drop({other}, MK_ALT, effect, ui), S_OK);
    setNamespaceChangeSink(previous);
    EXPECT_FALSE(exists(file));
    EXPECT_EQ(contentOf(target + "/a.dw2"), "calendar");
    EXPECT_EQ(std::filesystem::read_symlink(target + "/b.dw2"), other);
    EXPECT_EQ(events, (std::vector<long>{SHCNE_CREATE, SHCNE_DELETE, SHCNE_CREATE}));
}

TEST(DropTargets, AFailedCopyLeavesNoHalfCopyBehind)
{
    TempNamespace ns;
    const std::string folder = ns.makeFolder("home/WithPipe");
    ns.makeFile("home/WithPipe/a.dw2", "calendar");
    ASSERT_EQ(::mkfifo((folder + "/pipe").c_str(), 0600), 0); // pipes are not copied
    const std::string target = ns.makeFolder("home/Target");
    ErrorUi ui;
    unsigned effect = kAll;
    EXPECT_TRUE(failed(dropTargetOf(target)->Drop({folder}, MK_CONTROL, effect, ui)));
    EXPECT_TRUE(std::filesystem::is_empty(target));
    EXPECT_TRUE(exists(folder + "/pipe"));
    EXPECT_EQ(contentOf(folder + "/a.dw2"), "calendar");
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("Could not copy \"WithPipe\""), std::string::npos);
}

TEST(DropTargets, TheDesktopAndTheTrashTakeDropsVirtualFoldersDoNot)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/old.dw2");
    const auto desktop = ns.desktopFolder();
    std::unique_ptr<IDropTarget> target;
    const IdListPtr self = parsingNameToIdList("");
    ASSERT_EQ(desktop->GetDropTargetOf(self.get(), target), S_OK); // the desktop directory
    EXPECT_EQ(effectOf(*target, {file}, 0), DROPEFFECT_MOVE);
    target.reset();
    const IdListPtr computer = parsingNameToIdList("computer:///");
    EXPECT_EQ(desktop->GetDropTargetOf(computer.get(), target), E_NOTIMPL);

    const IdListPtr trash = parsingNameToIdList("trash:///");
    ASSERT_EQ(desktop->GetDropTargetOf(trash.get(), target), S_OK);
    EXPECT_EQ(effectOf(*target, {file}, MK_CONTROL), DROPEFFECT_MOVE);
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", ns.home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (ns.home + "/.local/share").c_str(), 1);
    ErrorUi ui;
    unsigned effect = kAll;
    const HResult result = target->Drop({file}, 0, effect, ui);
    ::setenv("HOME", savedHome.c_str(), 1);
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(result, S_OK);
    EXPECT_FALSE(exists(file));
    EXPECT_TRUE(exists(ns.trash + "/files/old.dw2"));
}

TEST(FileTransfer, FreeNamesKeepTheExtension)
{
    TempNamespace ns;
    for (const char* name : {"a.dw2", "a (2).dw2", ".hidden", "plain"})
        ns.makeFile(std::string("home/") + name);
    EXPECT_EQ(freeNameIn(ns.home, "a.dw2"), "a (3).dw2");
    EXPECT_EQ(freeNameIn(ns.home, ".hidden"), ".hidden (2)");
    EXPECT_EQ(freeNameIn(ns.home, "plain"), "plain (2)");
    EXPECT_EQ(freeNameIn(ns.home, "new.dw2"), "new.dw2");
}

// Another program acts in a gap of a transfer: it takes the destination
// name after copyItem found it free, or changes the source of a move after
// it was copied.
class CopyRace : public ::testing::Test {
protected:
    TempNamespace ns;
    void takeNameWith(std::function<void(const std::string&)> creator)
    {
        actAt(TransferStage::CreatingCopy, std::move(creator));
    }
    void changeSourceWith(std::function<void(const std::string&)> change)
    {
        actAt(TransferStage::RemovingSource, std::move(change));
    }
    void TearDown() override { setTransferHookForTests({}); }

private:
    void actAt(TransferStage wanted, std::function<void(const std::string&)> action)
    {
        setTransferHookForTests([wanted, action](TransferStage stage, const std::string& path) {
            if (stage == wanted)
                action(path);
        });
    }
};

TEST_F(CopyRace, AFileMadeByAnotherProgramSurvivesTheFailedCopy)
{
    const std::string source = ns.makeFile("home/ours.dw2", "ours");
    const std::string destination = ns.home + "/Target/ours.dw2";
    ns.makeFolder("home/Target");
    takeNameWith([](const std::string& path) { std::ofstream(path) << "theirs"; });
    EXPECT_TRUE(failed(copyItem(source, destination)));
    EXPECT_EQ(contentOf(destination), "theirs");
    EXPECT_EQ(contentOf(source), "ours");
}

TEST_F(CopyRace, AFolderMadeByAnotherProgramKeepsEverythingInIt)
{
    ns.makeFolder("home/Ours");
    ns.makeFile("home/Ours/a.dw2", "ours");
    const std::string destination = ns.home + "/Target/Ours";
    ns.makeFolder("home/Target");
    takeNameWith([](const std::string& path) {
        std::filesystem::create_directory(path);
        std::ofstream(path + "/theirs.txt") << "theirs";
    });
    EXPECT_TRUE(failed(copyItem(ns.home + "/Ours", destination)));
    EXPECT_EQ(contentOf(destination + "/theirs.txt"), "theirs");
    EXPECT_FALSE(exists(destination + "/a.dw2"));
}

TEST_F(CopyRace, ALinkInPlaceOfTheCopiedLinkStays)
{
    ns.makeFolder("home/Target");
    const std::string source = ns.home + "/link";
    ASSERT_EQ(::symlink("ours", source.c_str()), 0);
    const std::string destination = ns.home + "/Target/link";
    takeNameWith([](const std::string& path) { ASSERT_EQ(::symlink("theirs", path.c_str()), 0); });
    EXPECT_TRUE(failed(copyItem(source, destination)));
    EXPECT_EQ(std::filesystem::read_symlink(destination), "theirs");
}

TEST_F(CopyRace, AFailureAfterOurOwnCreationStillLeavesNoHalfCopy)
{
    const std::string folder = ns.makeFolder("home/WithPipe");
    ns.makeFile("home/WithPipe/a.dw2");
    ASSERT_EQ(::mkfifo((folder + "/pipe").c_str(), 0600), 0);
    ns.makeFolder("home/Target");
    bool called = false;
    takeNameWith([&called](const std::string&) { called = true; });
    EXPECT_TRUE(failed(copyItem(folder, ns.home + "/Target/WithPipe")));
    EXPECT_TRUE(called);
    EXPECT_FALSE(exists(ns.home + "/Target/WithPipe"));
}

TEST_F(CopyRace, AMoveByCopyingLeavesWhatWasAddedToTheSourceMeanwhile)
{
    ns.makeFolder("home/Moved");
    ns.makeFolder("home/Moved/inner");
    ns.makeFile("home/Moved/inner/a.dw2", "a");
    const std::string source = ns.home + "/Moved";
    const std::string destination = ns.makeFolder("home/Target") + "/Moved";
    changeSourceWith([](const std::string& path) { std::ofstream(path + "/inner/late.dw2") << "late"; });
    EXPECT_TRUE(failed(moveByCopying(source, destination)));
    EXPECT_EQ(contentOf(source + "/inner/late.dw2"), "late");
    EXPECT_FALSE(exists(source + "/inner/a.dw2")); // what was copied has moved
    EXPECT_EQ(contentOf(destination + "/inner/a.dw2"), "a");
}

TEST_F(CopyRace, AMoveByCopyingKeepsAFileChangedAfterItWasCopied)
{
    const std::string source = ns.makeFile("home/busy.dw2", "old");
    const std::string destination = ns.makeFolder("home/Target") + "/busy.dw2";
    changeSourceWith([](const std::string& path) { std::ofstream(path) << "newer and longer"; });
    EXPECT_TRUE(failed(moveByCopying(source, destination)));
    EXPECT_EQ(contentOf(source), "newer and longer");
    EXPECT_EQ(contentOf(destination), "old");
}

TEST_F(CopyRace, AnUndisturbedMoveByCopyingMovesEverything)
{
    ns.makeFolder("home/Moved");
    ns.makeFolder("home/Moved/inner");
    ns.makeFile("home/Moved/inner/a.dw2", "a");
    ASSERT_EQ(::symlink("inner/a.dw2", (ns.home + "/Moved/link").c_str()), 0);
    const std::string destination = ns.makeFolder("home/Target") + "/Moved";
    EXPECT_EQ(moveByCopying(ns.home + "/Moved", destination), S_OK);
    EXPECT_FALSE(exists(ns.home + "/Moved"));
    EXPECT_EQ(contentOf(destination + "/inner/a.dw2"), "a");
    EXPECT_EQ(std::filesystem::read_symlink(destination + "/link"), "inner/a.dw2");
}

TEST(DropTargets, ADiskThatDoesNotAnswerNeverHoldsTheDragButRefusesUntilItDoes)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/a.dw2");
    const std::string folder = ns.makeFolder("home/Target");
    // Stands for a hung share: the disk answers only once the test lets it
    // (or after a while, so that a target that waits for it fails instead of hanging).
    auto answer = std::make_shared<std::promise<void>>();
    std::shared_future<void> answered = answer->get_future().share();
    FolderDropTarget target(folder, nullptr, [answered](const std::string& at, const std::vector<std::string>& paths) {
        answered.wait_for(std::chrono::seconds(10));
        return probeFolderDrop(at, paths);
    });

    unsigned effect = kAll;
    EXPECT_EQ(target.DragEnter({file}, 0, effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    std::unique_ptr<IDropOperation> operation;
    effect = kAll;
    EXPECT_EQ(target.PrepareDrop({file}, 0, effect, operation), S_FALSE); // what was shown is what happens
    EXPECT_FALSE(operation);

    effect = kAll;
    target.DragEnter({file}, 0, effect);
    answer->set_value();
    for (int tries = 0; tries < 10000 && effect == DROPEFFECT_NONE; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        effect = kAll;
        target.DragOver(0, effect);
    }
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
}
