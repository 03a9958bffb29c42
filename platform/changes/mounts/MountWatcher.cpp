// SPDX-License-Identifier: MIT
#include "platform/changes/mounts/MountWatcher.h"

#include <fcntl.h>
#include <unistd.h>

namespace dw::platform {
namespace {

// The condition stays raised until the file is read again from the start.
void acknowledge(int fd)
{
    char buffer[4096];
    ::lseek(fd, 0, SEEK_SET);
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
}

} // namespace

MountWatcher::MountWatcher(const std::string& mountTablePath, VolumeReader readVolumes, ChangeSink sink,
                           QObject* parent)
    : QObject(parent), readVolumes_(std::move(readVolumes)), sink_(std::move(sink))
{
    if (readVolumes_)
        known_ = readVolumes_();
    fd_ = ::open(mountTablePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0)
        return;
    acknowledge(fd_);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Exception);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        acknowledge(fd_);
        rescan();
    });
}

MountWatcher::~MountWatcher()
{
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

void MountWatcher::rescan()
{
    if (!readVolumes_)
        return;
    auto current = readVolumes_();
    auto changes = volumeChanges(known_, current);
    known_ = std::move(current);
    if (!changes.empty() && sink_)
        sink_(changes);
    if (rescanHandler_)
        rescanHandler_();
}

} // namespace dw::platform
