// SPDX-License-Identifier: MIT
#include "platform/files/Lease.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <utility>

namespace dw::platform {

namespace {

// A breaking lease is announced with SIGIO, which ends a program by default.
// We ask the kernel about our leases instead of waiting for the signal, so
// it is ignored, unless the program has a use of its own for it.
void ignoreLeaseSignals()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (::sigaction(SIGIO, nullptr, &current) == 0 && current.sa_handler == SIG_DFL
            && !(current.sa_flags & SA_SIGINFO))
            ::signal(SIGIO, SIG_IGN);
    });
}

} // namespace

Lease::Lease(Lease&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

Lease& Lease::operator=(Lease&& other) noexcept
{
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

LeaseTake Lease::take(int fd, LeaseKind kind)
{
    release();
    ignoreLeaseSignals();
    if (::fcntl(fd, F_SETLEASE, kind == LeaseKind::Read ? F_RDLCK : F_WRLCK) == 0) {
        fd_ = fd;
        return LeaseTake::Held;
    }
    return errno == EAGAIN ? LeaseTake::InUse : LeaseTake::Unavailable;
}

bool Lease::intact() const
{
    // While a writer waits, the kernel reports the lease as already gone;
    // a reader waiting on a write lease leaves it reported as a read lease.
    const int state = ::fcntl(fd_, F_GETLEASE);
    return state == F_RDLCK || state == F_WRLCK;
}

void Lease::release()
{
    if (fd_ >= 0)
        (void)::fcntl(fd_, F_SETLEASE, F_UNLCK);
    fd_ = -1;
}

} // namespace dw::platform
