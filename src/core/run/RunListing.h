// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeListing.h"
#include "CodeMarks.h"
#include "LabelledListing.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

struct AddinHeader;

// The run's code as the Run window lists it: the labelled lines the code listing shows, each
// after a gutter that carries the run's marks as characters, so that a screen reader reads
// them with the line: "●" where an execute breakpoint is set, "►" on the next instruction.
//
//   ●► 8003  CD 7B 9F     call L9F7B
//      L9F7B:
class RunListing {
public:
    static constexpr QChar kBreakpointMark{0x25CF};
    static constexpr QChar kNextMark{0x25BA};
    // The two marks and a space.
    static constexpr int kGutterWidth = 3;

    RunListing() = default;
    // Every byte of `image` after its complete header, as the code map tells code from data.
    // The author's marks (`marks`) name the labels and kinds, as in the code listing.
    RunListing(QByteArrayView image, const AddinHeader& header, const CodeMarks& marks = {});

    int lineCount() const { return int(m_lines.size()); }
    // Line `line` after its gutter.
    QString line(int line, bool breakpoint, bool next) const;
    // The line of the instruction that holds `address`; none outside the listed bytes.
    std::optional<int> lineOf(quint16 address) const;
    // A line "L9F7B:" that names the instruction after it.
    bool isLabelLine(int line) const { return m_labelled.isLabelLine(line); }
    // Where the instruction of `line` starts; a label line stands for the instruction after it.
    std::optional<quint16> addressOf(int line) const;
    // The label at `address` ("L9F7B", or the name an author gave), else empty.
    QString labelAt(quint16 address) const;
    // The instruction that starts at `address` as the listing writes it, labels and all:
    // "call L9F7B"; empty where no instruction starts there.
    QString instructionAt(quint16 address) const;
    // The address of the label called `name`, whatever its case.
    std::optional<quint16> addressNamed(const QString& name) const;

private:
    // The index of the listing's line that starts at `address`, or -1.
    int lineStartingAt(quint16 address) const;

    CodeListing m_listing;
    LabelledListing m_labelled;
    QStringList m_lines;
};
