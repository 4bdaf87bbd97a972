// SPDX-License-Identifier: GPL-3.0-or-later
#include "Int2Bin.h"

QString Int2Bin(quint8 inByte) {
    QString bits;
    for (int k = 0; k < 8; ++k) {
        bits.prepend((inByte & (1 << k)) != 0 ? QLatin1Char('1') : QLatin1Char('0'));
    }
    return bits;
}
