// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunReport.h"

#include "AddinMachine.h"
#include "CliOutput.h"
#include "MachineStop.h"
#include "NumberForm.h"
#include "SystemCallStop.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

using NumberForm::hexWord;

QString answerText(const SystemCallAnswer& answer, bool given) {
    QString text = QStringLiteral("answer ") + hexWord(answer.result);
    for (const MemoryFill& fill : answer.fills) {
        text += QLatin1String(", ") + hexWord(fill.address) + QLatin1Char('=') +
                QString::fromLatin1(fill.bytes.toHex().toUpper());
    }
    return text + (given ? QStringLiteral(" (answers line %1)").arg(answer.line)
                         : QStringLiteral(" (none given: the default)"));
}

QJsonObject answerJson(const SystemCallAnswer& answer, bool given) {
    QJsonArray fills;
    for (const MemoryFill& fill : answer.fills) {
        fills.append(QJsonObject{
            {QStringLiteral("address"), fill.address},
            {QStringLiteral("bytes"), QString::fromLatin1(fill.bytes.toHex().toUpper())}});
    }
    return {{QStringLiteral("result"), answer.result},
            {QStringLiteral("fills"), fills},
            {QStringLiteral("line"), given ? QJsonValue(answer.line) : QJsonValue()},
            {QStringLiteral("default"), !given}};
}

QJsonObject callJson(const SystemCallStop& call) {
    QJsonArray arguments;
    QJsonArray texts;
    for (int i = 0; i < SystemCallStop::kArgumentCount; ++i) {
        arguments.append(call.arguments[i]);
        texts.append(call.texts[i].isEmpty() ? QJsonValue() : QJsonValue(call.texts[i]));
    }
    QJsonObject object{{QStringLiteral("address"), call.address},
                       {QStringLiteral("number"), call.number},
                       {QStringLiteral("name"), call.name()},
                       {QStringLiteral("arguments"), arguments},
                       {QStringLiteral("texts"), texts}};
    if (call.extendedNumber) {
        object.insert(QStringLiteral("extended_number"), *call.extendedNumber);
    }
    return object;
}

QString codeWritesText(const RunCounters& counters) {
    if (counters.codeWrites == 0) {
        return QStringLiteral("none");
    }
    return QStringLiteral("%1, the first to %2 by the instruction at %3 (the code keeps its "
                          "bytes)")
        .arg(MachineStop::count(counters.codeWrites), hexWord(counters.firstCodeWrite),
             hexWord(counters.firstCodeWriter));
}

} // namespace

RunReport::RunReport(std::ostream& out, bool json, bool traced)
    : m_out(out), m_json(json), m_traced(traced) {}

void RunReport::notes(const QStringList& notes) {
    for (const QString& note : notes) {
        if (m_json) {
            m_notes.append(note);
        } else {
            CliOutput::line(m_out, QStringLiteral("note: ") + note);
        }
    }
}

void RunReport::trace(const QString& line) {
    if (m_json) {
        m_trace.append(line);
    } else {
        CliOutput::line(m_out, line);
    }
}

void RunReport::call(const SystemCallStop& call, const std::optional<SystemCallAnswer>& answer,
                     bool given) {
    if (m_json) {
        QJsonObject object = callJson(call);
        object.insert(QStringLiteral("answer"),
                      answer ? QJsonValue(answerJson(*answer, given)) : QJsonValue());
        m_calls.append(object);
        return;
    }
    // The texts from memory come quoted, every control character escaped.
    CliOutput::line(
        m_out, QStringLiteral("call at %1: %2; arguments %3; %4")
                   .arg(hexWord(call.address), call.describe(), call.argumentsText(),
                        answer ? answerText(*answer, given) : QStringLiteral("the add-in ends")));
}

void RunReport::finish(const QString& file, const MachineStop& stop, const AddinMachine& machine) {
    const RunCounters& counters = machine.counters();
    if (!m_json) {
        const QString written =
            counters.wroteMemory
                ? hexWord(counters.firstWritten) + QLatin1Char('-') + hexWord(counters.lastWritten)
                : QStringLiteral("none");
        CliOutput::write(
            m_out, QStringLiteral("stop: %1\ninstructions: %2\nt-states: %3\nlowest stack "
                                  "address: %4\nmemory written: %5\nwrites into the code: "
                                  "%6\nport accesses: %7\n")
                       .arg(stop.text, QString::number(counters.instructions),
                            QString::number(counters.tStates), hexWord(counters.lowestSp), written,
                            codeWritesText(counters), QString::number(machine.portAccessCount())));
        return;
    }
    QJsonObject report{
        {QStringLiteral("file"), file},
        {QStringLiteral("notes"), m_notes},
        {QStringLiteral("calls"), m_calls},
        {QStringLiteral("stop"),
         QJsonObject{{QStringLiteral("kind"), MachineStop::kindName(stop.kind)},
                     {QStringLiteral("pc"), stop.pc},
                     {QStringLiteral("text"), stop.text}}},
        {QStringLiteral("instructions"), qint64(counters.instructions)},
        {QStringLiteral("t_states"), qint64(counters.tStates)},
        {QStringLiteral("lowest_stack_address"), counters.lowestSp},
        {QStringLiteral("memory_written"),
         counters.wroteMemory
             ? QJsonValue(QJsonObject{{QStringLiteral("first"), counters.firstWritten},
                                      {QStringLiteral("last"), counters.lastWritten}})
             : QJsonValue()},
        {QStringLiteral("code_writes"), qint64(counters.codeWrites)},
        {QStringLiteral("port_accesses"), qint64(machine.portAccessCount())},
    };
    QJsonArray ports;
    for (const AddinMachine::PortAccess& access : machine.portLog()) {
        ports.append(QJsonObject{{QStringLiteral("instruction"), access.instruction},
                                 {QStringLiteral("port"), access.port},
                                 {QStringLiteral("value"), access.value},
                                 {QStringLiteral("out"), access.out}});
    }
    report.insert(QStringLiteral("ports"), ports);
    if (counters.codeWrites > 0) {
        report.insert(QStringLiteral("first_code_write"),
                      QJsonObject{{QStringLiteral("address"), counters.firstCodeWrite},
                                  {QStringLiteral("instruction"), counters.firstCodeWriter}});
    }
    if (m_traced) {
        report.insert(QStringLiteral("trace"), m_trace);
    }
    const QByteArray document = QJsonDocument(report).toJson(QJsonDocument::Indented);
    m_out.write(document.constData(), document.size());
}
