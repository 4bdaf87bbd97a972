// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

// A dump text shown `columns` characters to a line, each line a text block of its own with one
// block separator between two lines. Positions in the dump text and positions in that
// document differ by the separators before them; this class converts between the two.
class PaneLines {
public:
    PaneLines(int columns, int length) : m_columns(columns), m_length(length) {}

    // The document text: `text` with a line feed after every full line but the last.
    static QString broken(QStringView text, int columns);

    int columns() const { return m_columns; }
    int length() const { return m_length; }
    int lineCount() const;

    // The end of a full line and the start of the next are one dump position; it maps to the
    // start of the next line, where wrapped text would show it.
    int toDocument(int dumpPosition) const;
    int toDump(int documentPosition) const;

private:
    int m_columns;
    int m_length;
};
