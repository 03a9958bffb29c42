// SPDX-License-Identifier: MIT
// The file work of drops: free names, failures part-way, cancel, a full
// disk and a second volume.
#include "DropTestSupport.h"
#include "tests/support/IsolatedRun.h"
#include "NamespaceFixture.h"

#include "platform/fileops/DropTarget.h"
#include "platform/fileops/FileTransfer.h"
#include "platform/fileops/FolderDropTarget.h"
#include "platform/fileops/TransferProgress.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace dw::platform;
using namespace dw::platform::testing;

namespace {

constexpr unsigned kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

class DropOperations : public ::testing::Test {
protected:
    TempNamespace ns;
    std::unique_ptr<TransferProgress> progress = std::make_unique<TransferProgress>();

    void TearDown() override { setTransferHookForTests({}); }

    // Prepares the drop as the tree does and runs it here; the effect must be `expected`.
    DropOutcome drop(const std::string& folder, const std::vector<std::string>& paths, unsigned keyState,
                     unsigned expected)
    {
        FolderDropTarget target(folder, nullptr);
        unsigned effect = kAll;
        std::unique_ptr<IDropOperation> operation;
        EXPECT_EQ(target.PrepareDrop(paths, keyState, effect, operation), S_OK);
        EXPECT_EQ(effect, expected);
        if (!operation)
            return {};
        progress = std::make_unique<TransferProgress>();
        return operation->Run(*progress);
    }

    // Cancels the drop once the file `name` has had its first chunk written.
    void cancelInside(const std::string& name)
    {
        setTransferHookForTests([this, name](TransferStage stage, const std::string& path) {
            if (stage == TransferStage::CopiedChunk && baseNameOf(path) == name) {
                ++chunksWritten;
                progress->requestCancel();
            }
        });
    }
    int chunksWritten = 0;
};

std::string chunks(std::size_t count)
{
    return std::string(count * kCopyChunkBytes, 'z');
}

} // namespace

TEST_F(DropOperations, NamesInUseGetFreeVariantsAndNothingIsReplaced)
{
    const std::string target = ns.makeFolder("home/Target");
    ns.makeFile("home/Target/a.dw2", "theirs");
    ns.makeFile("home/Target/a (2).dw2", "theirs too");
    ns.makeFolder("home/Target/Cal");
    ns.makeFolder("home/Source");
    const std::vector<std::string> items = {ns.makeFile("home/Source/a.dw2", "ours"),
                                            ns.makeFolder("home/Source/Cal"), ns.makeFile("home/Source/b", "b")};
    ns.makeFile("home/Source/Cal/inner.dw2", "inner");
    // Another program takes the first free name of b before the copy makes it.
    setTransferHookForTests([](TransferStage stage, const std::string& path) {
        if (stage == TransferStage::CreatingCopy && baseNameOf(path) == "b")
            std::ofstream(path) << "raced";
    });

    const DropOutcome outcome = drop(target, items, MK_CONTROL, DROPEFFECT_COPY);
    EXPECT_EQ(outcome.result, S_OK) << outcome.message();
    EXPECT_EQ(contentOf(target + "/a.dw2"), "theirs");
    EXPECT_EQ(contentOf(target + "/a (2).dw2"), "theirs too");
    EXPECT_EQ(contentOf(target + "/a (3).dw2"), "ours");
    EXPECT_TRUE(std::filesystem::is_empty(target + "/Cal"));
    EXPECT_EQ(contentOf(target + "/Cal (2)/inner.dw2"), "inner");
    EXPECT_EQ(contentOf(target + "/b"), "raced");
    EXPECT_EQ(contentOf(target + "/b (2)"), "b");
    const TransferProgress::Snapshot end = progress->snapshot();
    EXPECT_EQ(end.done, end.total);
    EXPECT_EQ(end.item, 3u);

    // A move (a rename here) takes a free name the same way.
    const std::string moved = ns.makeFile("home/Source/a.dw2", "moved");
    EXPECT_EQ(drop(target, {moved}, 0, DROPEFFECT_MOVE).result, S_OK);
    EXPECT_FALSE(exists(moved));
    EXPECT_EQ(contentOf(target + "/a (4).dw2"), "moved");
    EXPECT_EQ(contentOf(target + "/a (3).dw2"), "ours");
}

TEST_F(DropOperations, AFolderIsNotDroppedIntoItselfEvenWhenThatHappensAfterTheDrag)
{
    const std::string outer = ns.makeFolder("home/Outer");
    ns.makeFolder("home/Outer/Inner");
    ns.makeFolder("home/Elsewhere");
    const std::string via = ns.makeLink(ns.home + "/Elsewhere", "home/Via");
    FolderDropTarget target(via, nullptr);
    unsigned effect = kAll;
    std::unique_ptr<IDropOperation> operation;
    ASSERT_EQ(target.PrepareDrop({outer}, MK_CONTROL, effect, operation), S_OK);
    // Before the work starts, the target comes to lie inside the dropped folder.
    ASSERT_EQ(::unlink(via.c_str()), 0);
    ns.makeLink(outer + "/Inner", "home/Via");

    const DropOutcome outcome = operation->Run(*progress);
    EXPECT_EQ(outcome.result, E_INSIDE_SOURCE);
    EXPECT_EQ(outcome.message(), "Could not copy \"Outer\". The destination folder is inside the item itself.");
    EXPECT_TRUE(std::filesystem::is_empty(outer + "/Inner"));
}

TEST_F(DropOperations, AFailurePartWayLeavesTheSourcesAndSaysWhichItemsWereNotDoneAndWhy)
{
    const std::string target = ns.makeFolder("home/Target");
    const std::string first = ns.makeFile("home/first.dw2", "1");
    const std::string withPipe = ns.makeFolder("home/WithPipe");
    ns.makeFile("home/WithPipe/kept.dw2", "kept");
    ASSERT_EQ(::mkfifo((withPipe + "/pipe").c_str(), 0600), 0);
    const std::string gone = ns.home + "/gone.dw2";
    const std::string last = ns.makeFile("home/last.dw2", "3");
    const std::string goneLater = ns.makeFile("home/gone.dw2", "soon gone");

    FolderDropTarget dropTarget(target, nullptr);
    unsigned effect = kAll;
    std::unique_ptr<IDropOperation> operation;
    ASSERT_EQ(dropTarget.PrepareDrop({first, withPipe, gone, last}, MK_CONTROL, effect, operation), S_OK);
    ASSERT_EQ(::unlink(goneLater.c_str()), 0); // gone between the drag and the work
    const DropOutcome outcome = operation->Run(*progress);

    EXPECT_EQ(outcome.title, "Copy");
    EXPECT_EQ(outcome.message(), "Could not copy \"WithPipe\". This item does not support the operation.\n"
                                 "Could not copy \"gone.dw2\". The item no longer exists.");
    EXPECT_EQ(outcome.result, E_NOTIMPL);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_EQ(contentOf(target + "/first.dw2"), "1");
    EXPECT_EQ(contentOf(target + "/last.dw2"), "3");
    EXPECT_FALSE(exists(target + "/WithPipe")); // no half copy
    EXPECT_EQ(contentOf(withPipe + "/kept.dw2"), "kept");
    EXPECT_EQ(contentOf(first), "1");
}

TEST_F(DropOperations, CancelInsideALargeFileRemovesOnlyThePartialCopyAndStops)
{
    const std::string target = ns.makeFolder("home/Target");
    const std::string first = ns.makeFile("home/first.dw2", "1");
    const std::string folder = ns.makeFolder("home/Big");
    ns.makeFile("home/Big/large.bin", chunks(3));
    const std::string last = ns.makeFile("home/last.dw2", "3");
    cancelInside("large.bin");

    const DropOutcome outcome = drop(target, {first, folder, last}, MK_CONTROL, DROPEFFECT_COPY);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(chunksWritten, 1);
    EXPECT_EQ(outcome.result, E_ABORT);
    EXPECT_EQ(outcome.message(), ""); // the user asked for it: nothing to report
    EXPECT_EQ(contentOf(target + "/first.dw2"), "1");
    EXPECT_FALSE(exists(target + "/Big"));
    EXPECT_FALSE(exists(target + "/last.dw2"));
    EXPECT_EQ(contentOf(folder + "/large.bin"), chunks(3));
    EXPECT_EQ(progress->snapshot().item, 2u);
}

TEST_F(DropOperations, AFullDiskLeavesTheSourceAndNoPartialCopy)
{
    ScratchVolume volume(ns.root + "/small", "256k");
    if (!volume.mounted()) {
        if (dw::test::RanWithMountsOfItsOwn())
            return;
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    const std::string folder = ns.makeFolder("home/Cal");
    ns.makeFile("home/Cal/a.dw2", chunks(2));
    ns.makeFile("home/Cal/b.dw2", chunks(3));
    const std::string fits = ns.makeFile("home/fits.dw2", "fits");

    // Across volumes; the failed copy gives its space back for the next item.
    const DropOutcome copied = drop(volume.path(), {folder, fits}, 0, DROPEFFECT_COPY);
    EXPECT_EQ(copied.message(), "Could not copy \"Cal\". There is not enough space on the disk.");
    EXPECT_EQ(dw::test::listNames(volume.path()), "fits.dw2;");

    const DropOutcome moved = drop(volume.path(), {folder}, MK_SHIFT, DROPEFFECT_MOVE);
    EXPECT_EQ(moved.message(), "Could not move \"Cal\". There is not enough space on the disk.");
    EXPECT_EQ(dw::test::listNames(volume.path()), "fits.dw2;");
    EXPECT_EQ(contentOf(folder + "/a.dw2"), chunks(2));
    EXPECT_EQ(contentOf(folder + "/b.dw2"), chunks(3));
}

TEST_F(DropOperations, AMoveAcrossVolumesCopiesThenRemovesAndNeverStartsWhatItCannotFinish)
{
    ScratchVolume volume(ns.root + "/other", "16m");
    if (!volume.mounted()) {
        if (dw::test::RanWithMountsOfItsOwn())
            return;
        GTEST_SKIP() << "cannot mount a second volume here";
    }
    const std::string target = ns.makeFolder("home/Target");
    const std::string folder = volume.path() + "/Cal";
    std::filesystem::create_directory(folder);
    dw::test::writeFile(folder + "/a.dw2", "a");
    dw::test::writeFile(volume.path() + "/stays.dw2", "stays");

    // Cancelled inside a file: the original stays whole, the copy goes.
    dw::test::writeFile(folder + "/large.bin", chunks(2));
    cancelInside("large.bin");
    EXPECT_TRUE(drop(target, {folder}, MK_SHIFT, DROPEFFECT_MOVE).cancelled);
    EXPECT_TRUE(std::filesystem::is_empty(target));
    EXPECT_EQ(contentOf(folder + "/large.bin"), chunks(2));
    setTransferHookForTests({});

    EXPECT_EQ(drop(target, {folder}, MK_SHIFT, DROPEFFECT_MOVE).result, S_OK);
    EXPECT_FALSE(exists(folder));
    EXPECT_EQ(contentOf(target + "/Cal/a.dw2"), "a");
    EXPECT_EQ(contentOf(target + "/Cal/large.bin"), chunks(2));

    // From a read-only volume nothing can be removed, so nothing is copied.
    ASSERT_TRUE(volume.makeReadOnly());
    const DropOutcome refused = drop(target, {volume.path() + "/stays.dw2"}, MK_SHIFT, DROPEFFECT_MOVE);
    EXPECT_EQ(refused.message(), "Could not move \"stays.dw2\". Permission denied.");
    EXPECT_FALSE(exists(target + "/stays.dw2"));
}
