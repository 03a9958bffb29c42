// SPDX-License-Identifier: MIT
#include "platform/files/Lease.h"

#include <utility>

namespace dw::platform {

// Windows has no leases; the calendar's own handle, which shuts other
// writers out, does their work (see ChangeWatch). A lease is never held.
Lease::Lease(Lease&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

Lease& Lease::operator=(Lease&& other) noexcept
{
    fd_ = std::exchange(other.fd_, -1);
    return *this;
}

LeaseTake Lease::take(int, LeaseKind)
{
    return LeaseTake::Unavailable;
}

bool Lease::intact() const
{
    return true;
}

void Lease::release()
{
    fd_ = -1;
}

} // namespace dw::platform
