// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QtGlobal>

#include <optional>

// The words on the stack as the Run window lists them, from the stack pointer up, each with the
// call it would return after where it looks like a return address: it points just past a CALL
// (conditional or not) or an RST in the add-in's code. The window names both by their labels.
namespace MachineStack {

struct Entry {
    quint16 address = 0; // where the word lies
    quint16 value = 0;
    std::optional<quint16> caller; // the CALL or RST it returns after
};

// Up to `count` words of 64 KiB of `memory` from `sp` up, stopping at the top of memory; the
// code lies in [codeStart, codeEnd).
QList<Entry> entries(QByteArrayView memory, quint16 sp, int count, int codeStart, int codeEnd);

} // namespace MachineStack
