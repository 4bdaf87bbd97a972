// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <optional>

// Bytes the system puts into memory when it answers a call that fills a buffer.
struct MemoryFill {
    quint16 address = 0;
    QByteArray bytes;

    bool operator==(const MemoryFill&) const = default;
};

// What the author answers to one system call: the result the add-in reads from $C00E, and the
// memory the system fills.
struct SystemCallAnswer {
    quint16 number = 0;
    std::optional<quint16> extendedNumber; // for $00CE, the extended call's own number
    quint16 result = 0;
    QList<MemoryFill> fills;
    int line = 0; // the answers file's line that gave it; 0 when none did

    // Equal answers to the same call; where they were written does not count.
    bool operator==(const SystemCallAnswer& other) const {
        return number == other.number && extendedNumber == other.extendedNumber &&
               result == other.result && fills == other.fills;
    }
};
