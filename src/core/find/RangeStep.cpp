// SPDX-License-Identifier: GPL-3.0-or-later
#include "RangeStep.h"

#include <algorithm>

RangeStep RangeStep::among(const QList<ByteRange>& sorted, const ByteRange& selection,
                           Direction direction) {
    RangeStep step;
    step.direction = direction;
    if (sorted.isEmpty()) {
        return step;
    }
    if (direction == Direction::Forward) {
        const auto next =
            std::partition_point(sorted.cbegin(), sorted.cend(), [&](const ByteRange& range) {
                return range.start < selection.end();
            });
        step.wrapped = next == sorted.cend();
        step.range = step.wrapped ? sorted.first() : *next;
        return step;
    }
    const auto after =
        std::partition_point(sorted.cbegin(), sorted.cend(),
                             [&](const ByteRange& range) { return range.start < selection.start; });
    step.wrapped = after == sorted.cbegin();
    step.range = step.wrapped ? sorted.last() : *(after - 1);
    return step;
}

QString RangeStep::wrapNote() const {
    if (!wrapped) {
        return {};
    }
    return direction == Direction::Forward
               ? QStringLiteral("Passed the end; continued from the start.")
               : QStringLiteral("Passed the start; continued from the end.");
}
