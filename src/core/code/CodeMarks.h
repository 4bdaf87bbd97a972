// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeKind.h"

#include <QHash>
#include <QList>
#include <QString>

// What an author said about the code, by file offset, for the code map to take first: ranges
// of a kind, names of labels, and one-line comments. A map takes what lies in its range.
struct CodeMarks {
    CodeMarks() = default;
    // Kinds alone, as the map took them before there were names and comments.
    CodeMarks(QList<CodeRange> givenKinds) : kinds(std::move(givenKinds)) {} // NOLINT

    QList<CodeRange> kinds; // in the order of their offsets, none overlapping
    QHash<int, QString> names;
    QHash<int, QString> comments;

    bool isEmpty() const { return kinds.isEmpty() && names.isEmpty() && comments.isEmpty(); }
};
