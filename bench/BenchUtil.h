// SPDX-License-Identifier: MIT
#pragma once

// Timing for the benchmarks: the median of several runs, in milliseconds.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

inline double MedianMs(int nRuns, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < nRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline void ReportRatio(const char* pszName, double nMs, const char* pszBaseline, double nBaselineMs)
{
    std::printf("%-44s %9.3f ms\n%-44s %9.3f ms\n%-44s %9.2f\n\n", pszName, nMs, pszBaseline,
                nBaselineMs, "ratio", nBaselineMs > 0 ? nMs / nBaselineMs : 0.0);
}
