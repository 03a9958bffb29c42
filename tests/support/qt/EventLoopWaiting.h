// SPDX-License-Identifier: MIT
#pragma once
// Waiting for what arrives through the Qt event loop.

#include <QtGlobal>

#include <functional>

namespace dw::test {

// Runs the event loop until `done` answers true (or `patienceMs` passed), then
// `settleMs` longer so that anything that should not come has its chance to.
void processEventsUntil(const std::function<bool()>& done, qint64 patienceMs = 2000, qint64 settleMs = 80);

} // namespace dw::test
