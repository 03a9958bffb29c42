// SPDX-License-Identifier: MIT
// Folders listed on worker threads reach the change source on its own
// thread, also while the source goes away and comes back.
#include "platform/changesource/FileSystemChangeSource.h"

#include "platform/changes/ChangeNotify.h"
#include "platform/namespace/ShellNamespace.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

namespace dw::platform {
namespace {

namespace fs = std::filesystem;

class EnumerationHandOverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        const std::string base = fs::canonical(temp_.path().toStdString()).string();
        for (int i = 0; i < 16; ++i) {
            folders_.push_back(base + "/listed" + std::to_string(i));
            fs::create_directory(folders_.back());
        }
        ASSERT_NE(FileSystemChangeSource::start(), nullptr);
        // The whole namespace: what views list is watched.
        const SHChangeNotifyEntry entry{nullptr, true};
        id_ = SHChangeNotifyRegister(&window_, SHCNRF_InterruptLevel, SHCNE_CREATE, WM_USER + 1, 1, &entry);
        ASSERT_NE(id_, 0u);
        QCoreApplication::processEvents();
    }

    void TearDown() override { SHChangeNotifyDeregister(id_); }

    // Lists the folders from `threads` worker threads until `stop` (once
    // each when there is no `stop`).
    std::vector<std::thread> listOnWorkers(int threads, const std::atomic<bool>* stop = nullptr)
    {
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([this, t, threads, stop] {
                do {
                    for (std::size_t i = static_cast<std::size_t>(t); i < folders_.size();
                         i += static_cast<std::size_t>(threads))
                        notifyFolderEnumerated(folders_[i]);
                } while (stop != nullptr && !*stop);
            });
        }
        return workers;
    }

    static FolderWatcher& watcher() { return FileSystemChangeSource::instance()->folderWatcher(); }

    QTemporaryDir temp_;
    std::vector<std::string> folders_;
    MessageWindow window_{[](unsigned, WPARAM, LPARAM) { return LRESULT{0}; }};
    unsigned long id_ = 0;
};

TEST_F(EnumerationHandOverTest, FoldersListedOnWorkersAreWatchedOnTheSourcesThread)
{
    for (auto& worker : listOnWorkers(4))
        worker.join();
    for (const auto& folder : folders_)
        EXPECT_FALSE(watcher().isWatched(folder)) << "the workers touched the watch table";
    dw::test::processEventsUntil([&] { return watcher().isWatched(folders_.back()); }, 2000, 10);
    for (const auto& folder : folders_)
        EXPECT_TRUE(watcher().isWatched(folder)) << folder;
}

TEST_F(EnumerationHandOverTest, ListingsMayGoOnWhileTheSourceIsDestroyedAndStartedAgain)
{
    std::atomic<bool> stop{false};
    std::vector<std::thread> workers = listOnWorkers(3, &stop);
    // Registrations made on another thread reach the source the same way.
    workers.emplace_back([this, &stop] {
        const SHChangeNotifyEntry entry{nullptr, true};
        while (!stop) {
            const unsigned long id =
                SHChangeNotifyRegister(&window_, SHCNRF_InterruptLevel, SHCNE_CREATE, WM_USER + 2, 1, &entry);
            SHChangeNotifyDeregister(id);
        }
    });
    for (int round = 0; round < 200; ++round) {
        QCoreApplication::processEvents();
        delete FileSystemChangeSource::instance();
        QCoreApplication::processEvents();
        ASSERT_NE(FileSystemChangeSource::start(), nullptr);
    }
    stop = true;
    for (auto& worker : workers)
        worker.join();
    dw::test::processEventsUntil([&] { return watcher().isWatched(folders_.back()); }, 2000, 10);
    EXPECT_TRUE(watcher().isWatched(folders_.back())) << "the source that runs now hears the listings";
}

} // namespace
} // namespace dw::platform
