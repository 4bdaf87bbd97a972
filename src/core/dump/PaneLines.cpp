// SPDX-License-Identifier: GPL-3.0-or-later
#include "PaneLines.h"

#include <QtGlobal>

QString PaneLines::broken(QStringView text, int columns) {
    QString lines;
    lines.reserve(text.size() + text.size() / columns);
    for (qsizetype start = 0; start < text.size(); start += columns) {
        if (start > 0) {
            lines.append(QLatin1Char('\n'));
        }
        lines.append(text.mid(start, columns));
    }
    return lines;
}

int PaneLines::lineCount() const {
    // An empty text still shows one empty line.
    return qMax(1, (m_length + m_columns - 1) / m_columns);
}

int PaneLines::toDocument(int dumpPosition) const {
    const int line = qMin(dumpPosition / m_columns, lineCount() - 1);
    return dumpPosition + line;
}

int PaneLines::toDump(int documentPosition) const {
    return documentPosition - documentPosition / (m_columns + 1);
}
