// SPDX-License-Identifier: MIT
#pragma once
// File leases: the kernel's way of telling a program that another one opens
// a file it is working on. A read lease can only be had while no one has the
// file open for writing, and it breaks as soon as someone opens it for
// writing or truncates it; that opener then waits (up to
// /proc/sys/fs/lease-break-time seconds) until the holder lets go. A write
// lease can only be had on a file no one else has open at all, and any
// other open breaks it: a reader's open merely asks it to become a read lease.
//
// Leases need the file's owner or CAP_LEASE, and local file systems; where
// they cannot be had, callers fall back to comparing the file's identity.

namespace dw::platform {

enum class LeaseKind { Read, Write };

enum class LeaseTake {
    Held,        // the lease is ours
    InUse,       // someone else has the file open in a way the lease forbids
    Unavailable, // not permitted or not supported here
};

class Lease {
public:
    Lease() = default;
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    Lease(Lease&& other) noexcept;
    Lease& operator=(Lease&& other) noexcept;
    ~Lease() { release(); }

    // Takes a lease on `fd`, which must stay open while it is held.
    LeaseTake take(int fd, LeaseKind kind);

    bool held() const { return fd_ >= 0; }
    // No one has opened the file for writing since the lease was taken.
    bool intact() const;
    void release();

private:
    int fd_ = -1;
};

} // namespace dw::platform
