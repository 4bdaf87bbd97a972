// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunRegisters.h"

#include <QRegularExpression>

#include <array>

namespace {

enum Index { kI = 12, kR = 13, kIm = 14 };
constexpr int kMaxInterruptMode = 2;

// The 16-bit registers, in the order of names().
std::array<quint16 Z80Registers::*, 12> kWords = {
    &Z80Registers::af,  &Z80Registers::bc,  &Z80Registers::de,  &Z80Registers::hl,
    &Z80Registers::af2, &Z80Registers::bc2, &Z80Registers::de2, &Z80Registers::hl2,
    &Z80Registers::ix,  &Z80Registers::iy,  &Z80Registers::sp,  &Z80Registers::pc,
};

int valueOf(const Z80Registers& registers, int index) {
    switch (index) {
    case kI:
        return registers.i;
    case kR:
        return registers.r;
    case kIm:
        return registers.im;
    default:
        return registers.*kWords.at(size_t(index));
    }
}

} // namespace

namespace RunRegisters {

const QStringList& names() {
    static const QStringList kNames{"AF", "BC", "DE", "HL", "AF'", "BC'", "DE'", "HL'",
                                    "IX", "IY", "SP", "PC", "I",   "R",   "IM"};
    return kNames;
}

int digits(int index) {
    return index == kIm ? 1 : index >= kI ? 2 : 4;
}

QString text(const Z80Registers& registers, int index) {
    return QStringLiteral("%1")
        .arg(valueOf(registers, index), digits(index), 16, QLatin1Char('0'))
        .toUpper();
}

std::optional<Z80Registers> edited(const Z80Registers& registers, int index, const QString& typed,
                                   QString& problem) {
    QString digitsTyped = typed.trimmed();
    if (digitsTyped.startsWith(QLatin1Char('$'))) {
        digitsTyped.remove(0, 1);
    } else if (digitsTyped.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        digitsTyped.remove(0, 2);
    }
    static const QRegularExpression kHexDigits(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
    const uint value = digitsTyped.toUInt(nullptr, 16);
    const uint most = index == kIm ? kMaxInterruptMode : (1U << (4 * digits(index))) - 1;
    if (!kHexDigits.match(digitsTyped).hasMatch() || value > most) {
        problem = QStringLiteral("%1 takes a hexadecimal value from 0 to %2; '%3' is none.")
                      .arg(names().at(index), QString::number(most, 16).toUpper(), typed);
        return std::nullopt;
    }
    Z80Registers result = registers;
    switch (index) {
    case kI:
        result.i = quint8(value);
        break;
    case kR:
        result.r = quint8(value);
        break;
    case kIm:
        result.im = quint8(value);
        break;
    default:
        result.*kWords.at(size_t(index)) = quint16(value);
    }
    return result;
}

} // namespace RunRegisters
