// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// Where two texts of lines differ, as replacements of whole lines: each replaces the
// characters [from, to) of the text before with `text`. Every line has a key that orders the
// lines of both texts alike (a listing's address); lines with the same key and text are left
// alone, so that a view which takes the replacements redraws only what changed and keeps its
// scroll position. Applied in the order given (from the end of the text to its start), each
// finds its characters where the text before had them.
struct LineDifference {
    struct Line {
        qint64 key = 0;
        int start = 0;  // where it starts in its text
        int length = 0; // without its line feed
    };
    struct Text {
        QStringView text; // lines separated by a line feed, none after the last
        QList<Line> lines;
    };

    int from = 0;
    int to = 0;
    QString text;

    static QList<LineDifference> between(const Text& before, const Text& after);
};
