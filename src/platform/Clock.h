// SPDX-License-Identifier: MIT
#pragma once

// The time the client layer measures its time-outs by. The program uses the
// steady clock; tests put in one they move by hand, so no test sleeps for a
// time-out.

#include <chrono>

class IClock
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~IClock() = default;
    virtual TimePoint Now() const = 0;
};

// The steady clock of the system.
const IClock& SteadyClock();
