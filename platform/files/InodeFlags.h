// SPDX-License-Identifier: MIT
#pragma once
// The file attributes that chattr sets (immutable, append-only, no-dump...).

namespace dw::platform {

// The attributes of the open file `fd`; 0 when the file system has none.
unsigned inodeFlags(int fd);

// Immutable or append-only: no one may rewrite or replace the file, root
// included, until the attribute is taken away.
bool forbidsRewriting(unsigned flags);

// Gives `to` the attributes of `from` that a user may set and that keep
// their meaning on a new file; 0 or errno.
int copyInodeFlags(unsigned from, int to);

} // namespace dw::platform
