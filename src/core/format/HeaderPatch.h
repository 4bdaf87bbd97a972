// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Overwrites a name or description field in place: exactly the field's own bytes change,
// a shorter text is padded with spaces, and the terminator and everything else stay.
struct HeaderPatch {
    enum class Outcome {
        Written,
        EmptyField,   // the field has no bytes to write
        TooLong,      // the text has more characters than the field has bytes
        Unencodable,  // a character has no single-byte code; see `character`
        OutsideImage, // the field does not lie inside the image
        EndsField,    // a character is the field's terminator; see `character`
    };

    Outcome outcome = Outcome::Written;
    QString character;   // the first character that cannot be stored, for Unencodable, EndsField
    int textLength = 0;  // characters in the text, for TooLong
    int fieldLength = 0; // bytes in the field, for TooLong

    bool written() const { return outcome == Outcome::Written; }
    // One sentence saying why nothing was written to the field called `fieldName` ("name",
    // "description"), for the window's message and mobrin-cli alike; empty when Written.
    QString problem(const QString& fieldName) const;

    // `fieldStart` is the image index of the field's first byte (the image's first byte is 1);
    // the byte after the field is its terminator (a carriage return after the name, a zero
    // byte after the description). Nothing is written unless the outcome is Written.
    static HeaderPatch apply(QByteArray& image, int fieldStart, int fieldLength,
                             const QString& text);
};
