// SPDX-License-Identifier: MIT
#include "platform/Clock.h"

namespace {

class CSteadyClock : public IClock
{
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

} // namespace

const IClock& SteadyClock()
{
    static const CSteadyClock clock;
    return clock;
}
