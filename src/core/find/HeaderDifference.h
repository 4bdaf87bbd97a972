// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "HeaderFact.h"

#include <QString>

#include <optional>

// A header field whose value differs between the two files. A side that has no such field
// (its header ends before it, or is not an add-in's) has no fact. The icon, compared only
// between two add-ins, has no facts either: it counts the pixels that differ.
struct HeaderDifference {
    static inline const QString kIcon = QStringLiteral("icon");
    // A side's value when it has none.
    static inline const QString kMissing = QStringLiteral("(none)");

    QString key; // as HeaderFact names it: "name", "word1", "file_size", ...; or kIcon
    std::optional<HeaderFact> thisFact;
    std::optional<HeaderFact> otherFact;
    int pixels = 0; // of the icon's 1280

    // A side's value as the window shows it (see HeaderFact::valueText), or kMissing; the
    // icon's "37 pixels differ" on this side, nothing on the other.
    QString thisText(bool hex) const;
    QString otherText(bool hex) const;
    // "37 pixels differ", "1 pixel differs".
    QString pixelsText() const;
};
