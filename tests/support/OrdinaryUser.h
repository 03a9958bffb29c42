// SPDX-License-Identifier: MIT
#pragma once
// Root reads and writes whatever a file's mode says, so a test of what an
// ordinary user meets (a folder that may not be written, a file that may not
// be read) proves nothing as root. When the tests run as root, such a test
// runs once more, in a child process of the same test program, as the user
// "nobody" (setpriv), and that run's outcome is the test's.

namespace dw::test {

// Begin such a test with `if (RanAsOrdinaryUser()) return;`. False when the
// caller is no root and runs the test itself; true when the test was run as
// "nobody" and its outcome reported (a failure of that run fails this test,
// a skip skips it).
bool RanAsOrdinaryUser();

} // namespace dw::test
