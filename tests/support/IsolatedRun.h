// SPDX-License-Identifier: MIT
#pragma once
// A test that needs the machine otherwise than the tests run it runs once
// more, in a child process of the same test program, in the setting it
// needs, and that run's outcome is the test's:
// - as an ordinary user: root reads and writes whatever a file's mode says,
//   so a test of what an ordinary user meets (a folder that may not be
//   written, a file that may not be read) runs as "nobody" (setpriv);
// - with mounts of its own: in a container root may not mount, but it may
//   in a user namespace of its own (unshare), where a test can still make a
//   small full disk.

namespace dw::test {

// Begin such a test with `if (RanAsOrdinaryUser()) return;`. False when the
// caller is no root and runs the test itself; true when the test was run as
// "nobody" and its outcome reported (a failure of that run fails this test,
// a skip skips it).
bool RanAsOrdinaryUser();

// Call where a mount failed: `if (RanWithMountsOfItsOwn()) return;`. True
// when the test was run in a user and mount namespace of its own and its
// outcome reported; false in that run itself (the test then skips, saying
// why the mount failed there too).
bool RanWithMountsOfItsOwn();

} // namespace dw::test
