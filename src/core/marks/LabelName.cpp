// SPDX-License-Identifier: GPL-3.0-or-later
#include "LabelName.h"

#include "CodeLabels.h"

#include <QLatin1StringView>

#include <algorithm>
#include <array>

namespace {

// Each refused as a label by z80asm or pasmo, or a mnemonic one of them knows (z80asm calls SLL
// SLI); the undocumented halves of IX and IY by every spelling either assembler reads.
constexpr std::array kReserved = {
    // registers and conditions
    "a", "b", "c", "d", "e", "h", "l", "i", "r", "af", "bc", "de", "hl", "ix", "iy", "sp", "ixh",
    "ixl", "iyh", "iyl", "hx", "lx", "hy", "ly", "xh", "xl", "yh", "yl", "nz", "z", "nc", "po",
    "pe", "p", "m",
    // instructions
    "adc", "add", "and", "bit", "call", "ccf", "cp", "cpd", "cpdr", "cpi", "cpir", "cpl", "daa",
    "dec", "di", "djnz", "ei", "ex", "exx", "halt", "im", "in", "inc", "ind", "indr", "ini", "inir",
    "jp", "jr", "ld", "ldd", "lddr", "ldi", "ldir", "neg", "nop", "or", "otdr", "otir", "out",
    "outd", "outi", "pop", "push", "res", "ret", "reti", "retn", "rl", "rla", "rlc", "rlca", "rld",
    "rr", "rra", "rrc", "rrca", "rrd", "rst", "sbc", "scf", "set", "sla", "sli", "sll", "sra",
    "srl", "sub", "xor",
    // directives
    "db", "defb", "defl", "defm", "defs", "defw", "dm", "ds", "dw", "else", "end", "endif", "endm",
    "endp", "equ", "exitm", "if", "incbin", "include", "irp", "local", "macro", "org", "proc",
    "public", "rept", "seek",
    // operators
    "defined", "eq", "ge", "gt", "high", "le", "low", "lt", "mod", "ne", "not", "nul", "shl",
    "shr"};

bool isLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isUpperHexDigit(QChar c) {
    return isDigit(c) || (c >= u'A' && c <= u'F');
}

} // namespace

namespace LabelName {

QString problem(const QString& name, quint16 address) {
    if (name.isEmpty()) {
        return QStringLiteral("A label needs a name.");
    }
    if (!isLetter(name.front())) {
        return QStringLiteral("The label \"%1\" must start with a letter or \"_\".").arg(name);
    }
    const auto odd = std::find_if(name.cbegin(), name.cend(),
                                  [](QChar c) { return !isLetter(c) && !isDigit(c); });
    if (odd != name.cend()) {
        return QStringLiteral("The label \"%1\" holds \"%2\": a label holds only the letters A to "
                              "Z, the digits and \"_\".")
            .arg(name, QString(*odd));
    }
    const QString lower = name.toLower();
    if (std::any_of(kReserved.cbegin(), kReserved.cend(),
                    [&lower](const char* word) { return lower == QLatin1StringView(word); })) {
        return QStringLiteral("\"%1\" is a word of the assembler language: z80asm or pasmo "
                              "would not take it as a label.")
            .arg(name);
    }
    const bool generated = name.size() == 5 && name.front() == u'L' &&
                           std::all_of(name.cbegin() + 1, name.cend(), isUpperHexDigit);
    if (generated && name != CodeLabels::generatedName(address)) {
        return QStringLiteral("\"%1\" is the generated name of another address: choose a name "
                              "of another form.")
            .arg(name);
    }
    return {};
}

} // namespace LabelName
