// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderDifference.h"

namespace {

QString sideText(const std::optional<HeaderFact>& fact, bool hex) {
    return fact ? fact->valueText(hex) : HeaderDifference::kMissing;
}

} // namespace

QString HeaderDifference::thisText(bool hex) const {
    return key == kIcon ? pixelsText() : sideText(thisFact, hex);
}

QString HeaderDifference::otherText(bool hex) const {
    return key == kIcon ? QString() : sideText(otherFact, hex);
}

QString HeaderDifference::pixelsText() const {
    return pixels == 1 ? QStringLiteral("1 pixel differs")
                       : QStringLiteral("%1 pixels differ").arg(pixels);
}
