// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The handheld's system calls as an add-in makes them: it stores a function number at $C000
// and up to six argument words from $C002, executes `rst $10`, and reads the result from
// $C00E. Number $00CE is the extended call, whose own number is the first argument. The
// names come from data/system-calls.tsv, built in.
namespace SystemCalls {

constexpr quint16 kNumberAddress = 0xC000;
constexpr quint16 kFirstArgumentAddress = 0xC002;
constexpr int kArgumentCount = 6;
constexpr quint16 kResultAddress = 0xC00E;
constexpr quint8 kCallOpcode = 0xD7; // rst $10
constexpr quint16 kExtended = 0x00CE;
constexpr quint16 kTerminate = 0x0042; // leaves the add-in

// The call's name, "DS_ADDIN_TERMINATE"; names that share a number are joined by " / ". Empty
// when the number names no call.
QString name(quint16 number);
// The same for an extended call's own number.
QString extendedName(quint16 number);
// The call a name names: its number, and for an extended call $00CE and its own number. Nothing
// for a name no call has.
struct NamedCall {
    quint16 number = 0;
    std::optional<quint16> extendedNumber;
};
std::optional<NamedCall> callNamed(const QString& name);
// "$0042 DS_ADDIN_TERMINATE", "$00CE $0101 DS_CAL_CURRENT_TIME" for an extended call with its
// own number known, or the number alone when it names no call.
QString describe(quint16 number, std::optional<quint16> extendedNumber = std::nullopt);

} // namespace SystemCalls
