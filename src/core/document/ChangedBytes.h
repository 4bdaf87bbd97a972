// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

// The image's bytes whose value differs from what the file held when it was last opened or
// saved, as runs (file offsets, in order, each as long as it goes). Kept up to date from each
// change's range alone, so that a typed digit compares one byte, not the whole image.
class ChangedBytes {
public:
    // `saved` is what the file holds: nothing differs from it yet.
    void reset(QByteArray saved);
    // There is no file to differ from (a new add-in before its first save): nothing differs.
    void forget();
    // The bytes of `range` in `image` may have changed: compares them again with the file's.
    // True when the runs changed.
    bool update(QByteArrayView image, const ByteRange& range);

    const QList<ByteRange>& runs() const { return m_runs; }

private:
    std::optional<QByteArray> m_saved;
    QList<ByteRange> m_runs;
};
