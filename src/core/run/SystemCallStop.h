// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SystemCalls.h"

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// A system call as the add-in made it, read from memory when its `rst $10` is about to run:
// the number at $C000, the extended call's own number (the first argument) while that is $00CE,
// the six argument words from $C002, and the text each argument points at where it points at
// one. The parts build the Run window's sentence ("System call $002A DS_EVENT_MESSAGE_GET,
// arguments ...: give the result and continue") and mobrin-cli's report.
struct SystemCallStop {
    static constexpr int kArgumentCount = SystemCalls::kArgumentCount;
    // A text is at least this long and ends in a zero byte within kMaxTextLength bytes.
    static constexpr int kMinTextLength = 2;
    static constexpr int kMaxTextLength = 128;

    quint16 address = 0; // of the `rst $10`
    quint16 number = 0;
    std::optional<quint16> extendedNumber;
    std::array<quint16, kArgumentCount> arguments{};
    // The text argument i points at, decoded from Windows-1252; empty when it points at none.
    std::array<QString, kArgumentCount> texts;

    // Reads the call from 64 KiB of `memory`.
    static SystemCallStop read(QByteArrayView memory, quint16 address);

    // The add-in leaves through this call.
    bool terminates() const { return number == SystemCalls::kTerminate; }
    // The call's name: "DS_EVENT_MESSAGE_GET", that of the extended number for an extended
    // call; empty when the number names no call.
    QString name() const;
    // "$002A DS_EVENT_MESSAGE_GET", "$00CE $0101 DS_CAL_CURRENT_TIME".
    QString describe() const;
    // "System call $002A DS_EVENT_MESSAGE_GET".
    QString title() const;
    // "$0001, $F000 \"Hello\", $0000, $0000, $0000, $0000": each word, and a text after the one
    // that points at it, quoted().
    QString argumentsText() const;

    // A text as argumentsText() quotes it: in double quotes, every control character escaped,
    // so that it can go to a terminal as it is.
    static QString quoted(const QString& text);
};
