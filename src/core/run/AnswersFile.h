// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SystemCallAnswer.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QStringList>

#include <optional>

struct SystemCallStop;

// The answers to system calls as a plain text file, one answer a line, which `mobrin-cli run
// --answers` replays and the Run window writes from the answers a user gave:
//
//   # DS_EVENT_MESSAGE_GET: first a message, then none
//   $002A $0001 $F000=0D00    the result, then memory filled: $0D $00 at $F000
//   $002A 0
//   $00CE:$0101 $0000         an extended call: $00CE and its own number
//
// A call is its number as the command line takes it ($002A, 0x2A or 42) or its name
// (DS_EVENT_MESSAGE_GET, DS_TEXT_OUT_24 for an extended call). "#" starts a comment;
// blank lines are skipped. The lines for one call answer it in turn, one each time the add-in
// makes it, and the last of them every later time. $0042, the add-in's end, takes no answer.
class AnswersFile {
public:
    // Reads `text`; a line that is not an answer is left out and said in `errors`, as
    // "line 3: ...".
    static AnswersFile parse(QByteArrayView text, QStringList& errors);

    // The answer typed for `call` in the Run window: `result` and `fills` as a line of the file
    // gives them after the call ("$0001", "$F000=0D00 $F010=41"), an empty result as $0000.
    // Nothing when they are no answer; `problem` then says why, as a sentence.
    static std::optional<SystemCallAnswer> typed(const SystemCallStop& call, const QString& result,
                                                 const QString& fills, QString& problem);

    const QList<SystemCallAnswer>& answers() const { return m_answers; }
    void append(const SystemCallAnswer& answer) { m_answers.append(answer); }
    // The file: a comment line naming the format, then an answer a line, the call's name as
    // its comment. parse() reads it back as the same answers.
    QByteArray text() const;

    // The answer to give `call` this time, counting the times before; none when no line
    // answers that call.
    std::optional<SystemCallAnswer> next(const SystemCallStop& call);

private:
    QList<SystemCallAnswer> m_answers;
    QHash<quint32, int> m_given; // how many times each call was answered
};
