// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What every benchmark shares: the load average it starts under, and medians
// of runs that alternate the baseline and ours in the one process tree.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace velumbra::bench {

/// Prints the load average; figures taken above 0.3 say more about the
/// machine than about the code.
inline void printLoad()
{
    double load[3] = {-1, -1, -1};
    if (getloadavg(load, 3) < 1) {
        std::printf("load average: unknown\n");
        return;
    }
    std::printf("load average at start: %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    if (load[0] > 0.3)
        std::printf("WARNING: load average above 0.3: the machine is busy, the ratios are not "
                    "to be trusted\n");
}

inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

/// Times of @p runs rounds, each running @p baseline then every one of
/// @p ours; the result holds one list per contender, baseline first.
inline std::vector<std::vector<double>> alternate(int runs, const std::function<double()> &baseline,
                                                  const std::vector<std::function<double()>> &ours)
{
    std::vector<std::vector<double>> times(ours.size() + 1);
    for (int i = 0; i < runs; ++i) {
        times[0].push_back(baseline());
        for (std::size_t k = 0; k < ours.size(); ++k)
            times[k + 1].push_back(ours[k]());
    }
    return times;
}

/// The median of the ratios of @p ours to @p baseline, run by run.
inline double medianRatio(const std::vector<double> &ours, const std::vector<double> &baseline)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours.size() && i < baseline.size(); ++i)
        ratios.push_back(ours[i] / baseline[i]);
    return median(ratios);
}

} // namespace velumbra::bench
