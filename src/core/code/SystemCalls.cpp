// SPDX-License-Identifier: GPL-3.0-or-later
#include "SystemCalls.h"

#include "NumberForm.h"

#include <QHash>
#include <QStringList>

namespace {

// data/system-calls.tsv as a raw string literal, written by CMake.
constexpr char kTable[] =
#include "SystemCallTable.inc"
    ;

struct Names {
    QHash<quint16, QString> main;
    QHash<quint16, QString> extended;
    QHash<QString, SystemCalls::NamedCall> calls; // each name alone
};

const Names& names() {
    static const Names table = [] {
        Names read;
        const QStringList lines = QString::fromLatin1(kTable).split(QLatin1Char('\n'));
        for (const QString& line : lines) {
            const QStringList fields = line.split(QLatin1Char('\t'));
            if (line.startsWith(QLatin1Char('#')) || fields.size() != 3) {
                continue;
            }
            const auto number = NumberForm::parseWord(fields.at(1));
            if (!number) {
                continue;
            }
            const bool extended = fields.at(0) == QLatin1String("ext");
            read.calls.insert(fields.at(2),
                              extended ? SystemCalls::NamedCall{SystemCalls::kExtended, number}
                                       : SystemCalls::NamedCall{*number, {}});
            QHash<quint16, QString>& names = extended ? read.extended : read.main;
            QString& name = names[*number];
            name += (name.isEmpty() ? QString() : QStringLiteral(" / ")) + fields.at(2);
        }
        return read;
    }();
    return table;
}

QString hexWord(quint16 value) {
    return QStringLiteral("$%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

namespace SystemCalls {

QString name(quint16 number) {
    return names().main.value(number);
}

QString extendedName(quint16 number) {
    return names().extended.value(number);
}

std::optional<NamedCall> callNamed(const QString& name) {
    const auto found = names().calls.constFind(name);
    return found == names().calls.constEnd() ? std::nullopt : std::optional(*found);
}

QString describe(quint16 number, std::optional<quint16> extendedNumber) {
    QString text = hexWord(number);
    if (number == kExtended && extendedNumber) {
        text += QLatin1Char(' ') + hexWord(*extendedNumber);
        const QString called = extendedName(*extendedNumber);
        return called.isEmpty() ? text : text + QLatin1Char(' ') + called;
    }
    const QString called = name(number);
    return called.isEmpty() ? text : text + QLatin1Char(' ') + called;
}

} // namespace SystemCalls
