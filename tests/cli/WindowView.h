// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QStringList>

#include <algorithm>

// What the window shows, written out here from the bytes alone, apart from the program's own
// code, for comparison with mobrin-cli.
namespace WindowView {

// The dump's visual lines: a four-digit address, two hex digits and a space a byte (the last
// line padded to 48 characters), and one character a byte: "_" for a space, an en dash for a
// hyphen, the byte itself from "!" to DEL, "." for the rest.
inline QStringList dumpLines(QByteArrayView range) {
    QStringList lines;
    for (qsizetype at = 0; at < range.size(); at += 16) {
        QString hex;
        QString ascii;
        for (qsizetype i = at; i < std::min(at + 16, range.size()); ++i) {
            const auto byte = quint8(range[i]);
            hex += QString::asprintf("%02X ", byte);
            ascii += byte == ' '                      ? QChar(u'_')
                     : byte == '-'                    ? QChar(u'\u2013')
                     : (byte >= 0x21 && byte <= 0x7F) ? QChar(byte)
                                                      : QChar(u'.');
        }
        lines << QString::asprintf("%04X  ", int(at & 0xFFFF)) + hex.leftJustified(48) + "  " +
                     ascii;
    }
    return lines;
}

// The icon-code window's text: a line of five "$hh" items per row of the icon, commas between
// all items but the very last, every line ending in CR LF; bytes a cut-short icon lacks are 0.
inline QString iconText(const QByteArray& iconBytes) {
    QString text;
    for (int i = 0; i < 160; ++i) {
        text += (i % 5 == 0 ? QStringLiteral(".db ") : QString()) +
                QString::asprintf("$%02X", i < iconBytes.size() ? quint8(iconBytes[i]) : 0) +
                (i < 159 ? QStringLiteral(",") : QString()) +
                (i % 5 == 4 ? QStringLiteral("\r\n") : QString());
    }
    return text;
}

// mobrin-cli's output split into lines.
inline QStringList printedLines(const QByteArray& out) {
    QStringList lines = QString::fromUtf8(out).split(QLatin1Char('\n'));
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

} // namespace WindowView
