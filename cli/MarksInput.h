// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinHeader.h"
#include "AddinMarks.h"
#include "RegularFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <ostream>

// A marks file named on the command line (mobrin(5)), read whole and placed on the add-in. A
// file with a bad line is refused with the line's number and reason (exit 3); marks whose
// bytes changed are counted on the error stream and left out.
struct MarksInput {
    AddinMarks marks;
    QByteArray bytes; // the file as it was read
    std::optional<FileIdentity> identity;

    // Reads `path` and places its marks on `image`; the exit code when the command must stop,
    // its error written to `err`.
    std::optional<int> read(const QString& path, QByteArrayView image, const AddinHeader& header,
                            std::ostream& err);
    // The marks that apply, for the code map of `image`.
    CodeMarks codeMarks(const AddinHeader& header, int imageSize) const {
        return marks.codeMarks(header.headSize, imageSize);
    }
};
