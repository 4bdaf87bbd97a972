// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChangedBytes.h"

#include <algorithm>

void ChangedBytes::reset(QByteArray saved) {
    m_saved = std::move(saved);
    m_runs.clear();
}

void ChangedBytes::forget() {
    m_saved.reset();
    m_runs.clear();
}

bool ChangedBytes::update(QByteArrayView image, const ByteRange& range) {
    if (!m_saved) {
        return false;
    }
    const QByteArrayView saved(*m_saved);
    const ByteRange compared = range.clippedTo({0, int(std::min(image.size(), saved.size()))});
    if (compared.isEmpty()) {
        return false;
    }
    // The runs that overlap the range or touch it are worked out again: their bytes outside it
    // still differ, and a run may now join or split at the range's ends.
    const auto first = std::partition_point(m_runs.cbegin(), m_runs.cend(), [&](const auto& run) {
        return run.end() < compared.start;
    });
    const auto last = std::partition_point(
        first, m_runs.cend(), [&](const auto& run) { return run.start <= compared.end(); });
    QList<ByteRange> fresh;
    int runStart = first != last && first->start < compared.start ? first->start : -1;
    const auto endRun = [&](int end) {
        if (runStart >= 0) {
            fresh.append({runStart, end - runStart});
            runStart = -1;
        }
    };
    for (int offset = compared.start; offset < compared.end(); ++offset) {
        if (image[offset] != saved[offset]) {
            runStart = runStart < 0 ? offset : runStart;
        } else {
            endRun(offset);
        }
    }
    if (first != last && std::prev(last)->end() > compared.end()) {
        runStart = runStart < 0 ? compared.end() : runStart;
        endRun(std::prev(last)->end());
    } else {
        endRun(compared.end());
    }
    if (std::equal(first, last, fresh.cbegin(), fresh.cend())) {
        return false;
    }
    const qsizetype at = first - m_runs.cbegin();
    m_runs.remove(at, last - first);
    m_runs.insert(at, fresh.size(), ByteRange());
    std::copy(fresh.cbegin(), fresh.cend(), m_runs.begin() + at);
    return true;
}
