// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnswersFile.h"

#include "NumberForm.h"
#include "SystemCallStop.h"
#include "SystemCalls.h"

#include <QRegularExpression>
#include <QString>

namespace {

using NumberForm::hexWord;

constexpr int kAddressSpace = 0x10000;

quint32 keyOf(quint16 number, std::optional<quint16> extendedNumber) {
    return quint32(number) << 16 | extendedNumber.value_or(0);
}

// Reads one line's words into `answer`; the problem in plain words when they are no answer.
QString readAnswer(const QStringList& words, SystemCallAnswer& answer) {
    const QString& call = words.at(0);
    const qsizetype colon = call.indexOf(QLatin1Char(':'));
    auto number = NumberForm::parseWord(colon < 0 ? call : call.left(colon));
    if (const auto named = SystemCalls::callNamed(call); !number && named) {
        number = named->number;
        answer.extendedNumber = named->extendedNumber;
    }
    if (!number) {
        return QStringLiteral("'%1' is neither a call number from 0 to 65535 nor a call's name: "
                              "give $002A, 0x2A, 42 or DS_EVENT_MESSAGE_GET, or $00CE:$0101 for "
                              "an extended call")
            .arg(call);
    }
    answer.number = *number;
    if (colon >= 0) {
        const auto extended = NumberForm::parseWord(call.mid(colon + 1));
        if (*number != SystemCalls::kExtended || !extended) {
            return QStringLiteral("'%1' is not an extended call: give $00CE, a colon and the "
                                  "call's own number, as $00CE:$0101")
                .arg(call);
        }
        answer.extendedNumber = extended;
    } else if (*number == SystemCalls::kExtended && !answer.extendedNumber) {
        return QStringLiteral("$00CE is the extended call: give its own number too, as "
                              "$00CE:$0101");
    }
    if (*number == SystemCalls::kTerminate) {
        return QStringLiteral("$0042 ends the add-in and takes no answer");
    }
    if (words.size() < 2) {
        return QStringLiteral("the result is missing after '%1'").arg(call);
    }
    const auto result = NumberForm::parseWord(words.at(1));
    if (!result) {
        return QStringLiteral("the result '%1' is not a number from 0 to 65535").arg(words.at(1));
    }
    answer.result = *result;
    static const QRegularExpression kFill(QStringLiteral("^([^=]+)=((?:[0-9A-Fa-f]{2})+)$"));
    for (qsizetype i = 2; i < words.size(); ++i) {
        const QRegularExpressionMatch match = kFill.match(words.at(i));
        const auto address =
            match.hasMatch() ? NumberForm::parseWord(match.captured(1)) : std::nullopt;
        if (!address) {
            return QStringLiteral("'%1' is not a fill: give the address, '=' and two hex digits "
                                  "a byte, as $F000=48690A")
                .arg(words.at(i));
        }
        const QByteArray bytes = QByteArray::fromHex(match.captured(2).toLatin1());
        if (*address + bytes.size() > kAddressSpace) {
            return QStringLiteral("the fill '%1' runs past $FFFF").arg(words.at(i));
        }
        answer.fills.append({*address, bytes});
    }
    return {};
}

} // namespace

AnswersFile AnswersFile::parse(QByteArrayView text, QStringList& errors) {
    AnswersFile file;
    static const QRegularExpression kSpace(QStringLiteral("\\s+"));
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString content = lines.at(i).section(QLatin1Char('#'), 0, 0).trimmed();
        if (content.isEmpty()) {
            continue;
        }
        SystemCallAnswer answer;
        answer.line = int(i + 1);
        if (const QString problem = readAnswer(content.split(kSpace), answer); !problem.isEmpty()) {
            errors << QStringLiteral("line %1: %2").arg(answer.line).arg(problem);
            continue;
        }
        file.append(answer);
    }
    return file;
}

std::optional<SystemCallAnswer> AnswersFile::typed(const SystemCallStop& call,
                                                   const QString& result, const QString& fills,
                                                   QString& problem) {
    static const QRegularExpression kSpace(QStringLiteral("\\s+"));
    QString callWord = hexWord(call.number);
    if (call.extendedNumber) {
        callWord += QLatin1Char(':') + hexWord(*call.extendedNumber);
    }
    const QString resultWord = result.trimmed();
    QStringList words{callWord, resultWord.isEmpty() ? QStringLiteral("0") : resultWord};
    words += fills.split(kSpace, Qt::SkipEmptyParts);
    SystemCallAnswer answer;
    problem = readAnswer(words, answer);
    if (!problem.isEmpty()) {
        problem = problem.at(0).toUpper() + problem.sliced(1) + QLatin1Char('.');
        return std::nullopt;
    }
    return answer;
}

QByteArray AnswersFile::text() const {
    QString text = QStringLiteral("# Answers to system calls: CALL RESULT [ADDRESS=BYTES]..., "
                                  "see mobrin-cli(1).\n");
    for (const SystemCallAnswer& answer : m_answers) {
        QString line = hexWord(answer.number);
        if (answer.extendedNumber) {
            line += QLatin1Char(':') + hexWord(*answer.extendedNumber);
        }
        line += QLatin1Char(' ') + hexWord(answer.result);
        for (const MemoryFill& fill : answer.fills) {
            line += QLatin1Char(' ') + hexWord(fill.address) + QLatin1Char('=') +
                    QString::fromLatin1(fill.bytes.toHex().toUpper());
        }
        const QString name = answer.extendedNumber
                                 ? SystemCalls::extendedName(*answer.extendedNumber)
                                 : SystemCalls::name(answer.number);
        if (!name.isEmpty()) {
            line += QLatin1String("  # ") + name;
        }
        text += line + QLatin1Char('\n');
    }
    return text.toUtf8();
}

std::optional<SystemCallAnswer> AnswersFile::next(const SystemCallStop& call) {
    const quint32 key = keyOf(call.number, call.extendedNumber);
    QList<const SystemCallAnswer*> lines;
    for (const SystemCallAnswer& answer : std::as_const(m_answers)) {
        if (keyOf(answer.number, answer.extendedNumber) == key) {
            lines.append(&answer);
        }
    }
    if (lines.isEmpty()) {
        return std::nullopt;
    }
    int& given = m_given[key];
    const SystemCallAnswer& answer = *lines.at(qMin<qsizetype>(given, lines.size() - 1));
    if (given < lines.size()) {
        ++given;
    }
    return answer;
}
