// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The benchmarks' clock: medians and 90th percentiles of repeated runs, printed as Markdown
// table rows.

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace Timing {

constexpr int kRuns = 300;
constexpr int kWarmUp = 30;

// Median and 90th percentile of kRuns timed calls of `step`, in milliseconds, after kWarmUp
// untimed ones; each call is followed by an untimed `reset` when one is given.
inline std::pair<double, double> timed(const std::function<void()>& step,
                                       const std::function<void()>& reset = {}) {
    for (int i = 0; i < kWarmUp; ++i) {
        step();
        if (reset) {
            reset();
        }
    }
    std::vector<double> ms;
    ms.reserve(kRuns);
    QElapsedTimer timer;
    for (int i = 0; i < kRuns; ++i) {
        timer.start();
        step();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (reset) {
            reset();
        }
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 9 / 10]};
}

inline void row(const QString& what, std::pair<double, double> figures, const char* target = "") {
    std::printf("| %s | %.3f ms | %.3f ms | %s |\n", qPrintable(what), figures.first,
                figures.second, target);
}

} // namespace Timing
