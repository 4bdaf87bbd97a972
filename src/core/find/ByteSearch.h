// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BytePattern.h"
#include "ByteRange.h"
#include "RangeStep.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// Find in the image: every place a pattern matches, and the step from the current selection
// to the next or previous one.
namespace ByteSearch {

// The status bar's word when nothing matches; nothing moves then.
inline const QString kNotFound = QStringLiteral("not found");

// Every match that lies wholly inside `within` (clipped to the image), in order; matches may
// overlap. Pass ByteRange::shown() so that a stripped header is not searched.
QList<ByteRange> matches(QByteArrayView image, const BytePattern& pattern, ByteRange within);

// Find next (Forward) or Find previous (Backward) from `selection`: RangeStep::among() over
// matches(). No range in the result means "not found".
RangeStep find(QByteArrayView image, const BytePattern& pattern, ByteRange within,
               const ByteRange& selection, RangeStep::Direction direction);

// What the status bar says after find(): kNotFound, the wrap note, or nothing.
QString note(const RangeStep& step);

} // namespace ByteSearch
