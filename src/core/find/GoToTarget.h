// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>
#include <utility>

struct AddinHeader;

// What the Go to box takes: a file offset ($1F0, 0x1F0 or 496) or, after "@", a code address
// in hexadecimal with or without "$" or "0x" (@8010: where the byte runs, the first code byte
// at $8000, as the listing prints it), and the byte it names.
class GoToTarget {
public:
    // The box's own label, which explains both forms.
    static inline const QString kLabel =
        QStringLiteral("File offset ($1F0, 0x1F0 or 496) or code address after @, always "
                       "hexadecimal (@8010, @$8010; the first code byte runs at $8000):");

    struct Parse;
    // The file offset of the byte to select and scroll into view, or the sentence that says
    // why there is none; exactly one of the two is set.
    struct Place {
        std::optional<int> offset;
        QString refusal;
    };

    // Spaces around the text are ignored; offsets are "$" or "0x" and hex digits in either
    // case, or decimal digits, with nothing else; code addresses are hex digits, "$" or "0x"
    // before them or not.
    static Parse parse(const QString& typed);
    // parse(), then place().
    static Place resolve(const QString& typed, int imageSize, const AddinHeader& header,
                         bool headerStripped);

    // The byte in an image of `imageSize` bytes with this header. A byte outside the image,
    // inside the header while "Strip header" hides it, or a code address in a file without
    // add-in code is refused.
    Place place(int imageSize, const AddinHeader& header, bool headerStripped) const;

private:
    enum class Kind { FileOffset, CodeAddress };

    GoToTarget(Kind kind, qint64 value, QString typed)
        : m_kind(kind), m_value(value), m_typed(std::move(typed)) {}

    Kind m_kind;
    qint64 m_value;  // capped, so that a long run of digits stays far outside any image
    QString m_typed; // as typed, for the sentences
};

// A target, or the sentence that refuses what was typed; exactly one of the two is set.
struct GoToTarget::Parse {
    std::optional<GoToTarget> target;
    QString refusal;
};
