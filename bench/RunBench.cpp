// SPDX-License-Identifier: GPL-3.0-or-later
// The add-in machine (the core, no window): a free run of a busy loop, as F5 runs it between two
// stops, steps as F11 takes them, and stepping back through the journal. Prints Markdown
// table rows.
//   bench_run
#include "AddinMachine.h"
#include "Timing.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using Timing::row;
using Timing::timed;

// A counter at $F000 incremented for ever, BC counting down beside it: a write, arithmetic and
// a taken jump in every round of five instructions.
const QByteArray kBusyLoop = QByteArray::fromHex("2100F0 34 0B 78 B1 20FA 18F8");

constexpr quint64 kFreeRun = 10'000'000;
constexpr int kFreeRuns = 7;
constexpr int kStepsBack = 10'000;
constexpr int kSteps = 1'000;

// Median and 90th percentile of a few whole runs of `kFreeRun` instructions, in milliseconds: a
// run takes too long for Timing's hundreds.
std::pair<double, double> freeRuns() {
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int i = 0; i < kFreeRuns; ++i) {
        AddinMachine machine(kBusyLoop, 0);
        timer.start();
        machine.run(kFreeRun);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 9 / 10]};
}

} // namespace

int main() {
    row(QStringLiteral("free run of %1 instructions of a busy loop, journaled")
            .arg(MachineStop::count(kFreeRun)),
        freeRuns(), "under 1000 ms");

    AddinMachine machine(kBusyLoop, 0);
    machine.run(kStepsBack);
    // The machine's part of F11: a step and the sentence of its stop.
    row(QStringLiteral("%1 steps into, one at a time").arg(MachineStop::count(kSteps)), timed([&] {
            for (int i = 0; i < kSteps; ++i) {
                machine.step();
            }
        }));

    const auto stepBack = [&] {
        for (int i = 0; i < kStepsBack; ++i) {
            machine.stepBack();
        }
    };
    const auto runAgain = [&] { machine.run(kStepsBack); };
    row(QStringLiteral("stepping back %1 steps").arg(MachineStop::count(kStepsBack)),
        timed(stepBack, runAgain), "under 50 ms");
    return 0;
}
