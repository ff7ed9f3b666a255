// SPDX-License-Identifier: MIT
// Waiting for a condition instead of sleeping a fixed time: the one polling loop of the tests.
#pragma once

#include <chrono>
#include <functional>

namespace testsupport {

// Between two looks at the condition: waits at most `slice` for something that may change it
// (runs an event loop, polls a descriptor). Returning earlier is fine.
using IdleFn = std::function<void(std::chrono::milliseconds slice)>;

// Checks pred until it holds (true) or timeout passes (false). Without idle the thread sleeps
// a few milliseconds between looks, for conditions that another process or thread makes true.
// The deadline is generous on purpose: it bounds a failing test, a passing one returns as soon
// as pred holds.
bool WaitUntil(const std::function<bool()>& pred,
               std::chrono::milliseconds timeout = std::chrono::seconds(10),
               const IdleFn& idle = {});

} // namespace testsupport
