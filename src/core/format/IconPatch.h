// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Overwrites the header's 160 icon bytes in place: nothing else in the image changes, so the
// header keeps its size and layout. The image is parsed first, because only a complete add-in
// header has an icon to replace.
struct IconPatch {
    enum class Outcome {
        Written,
        NotAddin,    // no signature, a damaged header, or a class type other than ADDIN
        WrongLength, // `icon` is not 160 bytes
    };

    Outcome outcome = Outcome::Written;
    QString problem; // one sentence saying why not, for a message box; empty when Written

    bool written() const { return outcome == Outcome::Written; }

    // Nothing is written unless the outcome is Written.
    static IconPatch apply(QByteArray& image, const QByteArray& icon);
};
