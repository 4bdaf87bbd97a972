// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineDifference.h"

#include <algorithm>

namespace {

using Line = LineDifference::Line;
using Text = LineDifference::Text;

QStringView textOf(const Text& text, const Line& line) {
    return text.text.sliced(line.start, line.length);
}

int endOf(const Line& line) {
    return line.start + line.length;
}

// Lines [first, last) of `after` as they replace lines [from, to) of `before`.
LineDifference replacement(const Text& before, int from, int to, const Text& after, int first,
                           int last) {
    const QList<Line>& old = before.lines;
    const QList<Line>& fresh = after.lines;
    const QStringView added =
        first < last
            ? after.text.sliced(fresh[first].start, endOf(fresh[last - 1]) - fresh[first].start)
            : QStringView();
    if (from < to && first < last) {
        return {old[from].start, endOf(old[to - 1]), added.toString()};
    }
    if (first < last) {
        // Inserted before line `from`, or after the last line.
        if (from < old.size()) {
            return {old[from].start, old[from].start, added.toString() + QLatin1Char('\n')};
        }
        const int end = old.isEmpty() ? 0 : endOf(old.last());
        return {end, end, (old.isEmpty() ? QString() : QStringLiteral("\n")) + added.toString()};
    }
    // Removed, with the line feed after them, or before them at the end.
    if (to < old.size()) {
        return {old[from].start, old[to].start, {}};
    }
    return {from > 0 ? endOf(old[from - 1]) : 0, endOf(old[to - 1]), {}};
}

} // namespace

QList<LineDifference> LineDifference::between(const Text& before, const Text& after) {
    QList<LineDifference> differences;
    const QList<Line>& old = before.lines;
    const QList<Line>& fresh = after.lines;
    // Both run in key order: walk them side by side, and gather each run of lines that are not
    // the same in both into one replacement.
    int i = 0;
    int j = 0;
    int runOld = -1;
    int runNew = -1;
    const auto endRun = [&] {
        if (runOld >= 0) {
            differences.append(replacement(before, runOld, i, after, runNew, j));
            runOld = runNew = -1;
        }
    };
    while (i < old.size() || j < fresh.size()) {
        const bool same = i < old.size() && j < fresh.size() && old[i].key == fresh[j].key &&
                          textOf(before, old[i]) == textOf(after, fresh[j]);
        if (same) {
            endRun();
            ++i;
            ++j;
            continue;
        }
        if (runOld < 0) {
            runOld = i;
            runNew = j;
        }
        if (j >= fresh.size() || (i < old.size() && old[i].key <= fresh[j].key)) {
            // Gone, or changed: a changed line leaves with its new text.
            if (j < fresh.size() && old[i].key == fresh[j].key) {
                ++j;
            }
            ++i;
        } else {
            ++j;
        }
    }
    endRun();
    std::reverse(differences.begin(), differences.end());
    return differences;
}
