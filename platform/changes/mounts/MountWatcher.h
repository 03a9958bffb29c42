// SPDX-License-Identifier: MIT
#pragma once
// Watches the mount table and hands on volumes appearing and going away.
//
// The kernel marks the mount table file as having an exceptional condition
// whenever a mount is added or removed; the watcher waits for that on the
// thread that owns it and then reads the volumes again through the given
// function (which decides what counts as a volume).

#include "platform/changes/mounts/VolumeChanges.h"

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dw::platform {

class MountWatcher : public QObject {
    Q_OBJECT
public:
    using VolumeReader = std::function<std::vector<MountedVolume>()>;
    using ChangeSink = std::function<void(const std::vector<PathChange>&)>;

    MountWatcher(const std::string& mountTablePath, VolumeReader readVolumes, ChangeSink sink,
                 QObject* parent = nullptr);
    ~MountWatcher() override;

    bool isWatching() const { return notifier_ != nullptr; }

    // Reads the volumes now and hands on the differences.
    void rescan();

    // Called after each reading that followed a change of the table, once
    // the differences in volumes were handed on (other mounts may have
    // changed too).
    void setRescanHandler(std::function<void()> handler) { rescanHandler_ = std::move(handler); }

private:
    VolumeReader readVolumes_;
    ChangeSink sink_;
    std::function<void()> rescanHandler_;
    std::vector<MountedVolume> known_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace dw::platform
