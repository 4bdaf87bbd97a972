// SPDX-License-Identifier: GPL-3.0-or-later
#include "Z80Programs.h"

#include "AddinHeader.h"
#include "NumberForm.h"
#include "TestFiles.h"

#include <QProcess>

#include <utility>

namespace Z80Programs {

QByteArray assemble(const QByteArray& source, QString* error) {
    TestFiles files;
    const QString input = files.write(QStringLiteral("code.asm"), "        org $8000\n" + source);
    const QString output = files.path(QStringLiteral("code.bin"));
    QProcess z80asm;
    z80asm.setProcessChannelMode(QProcess::MergedChannels);
    z80asm.start(QStringLiteral("z80asm"), {QStringLiteral("-o"), output, input});
    if (!z80asm.waitForFinished(60000) || z80asm.exitCode() != 0) {
        if (error) {
            *error = z80asm.error() == QProcess::FailedToStart
                         ? QStringLiteral("z80asm is missing: scripts/mobrin installs it")
                         : QString::fromLocal8Bit(z80asm.readAll());
        }
        return {};
    }
    return TestFiles::read(output);
}

QByteArray addin(const QByteArray& code, const QByteArray& tail) {
    return buildAddinHeader("ADDIN", "Test", "", quint16(code.size()), 0, TestFiles::icon()) +
           code + tail;
}

QStringList ranges(const CodeMap& map) {
    QStringList lines;
    for (const CodeRange& range : map.ranges()) {
        lines.append(NumberForm::hexWord(map.addressOf(range.start)) + QLatin1Char(' ') +
                     NumberForm::hexWord(map.addressOf(range.end)) + QLatin1Char(' ') +
                     CodeKinds::name(range.kind));
    }
    return lines;
}

QStringList labels(const CodeMap& map) {
    static const std::pair<quint8, const char*> kReasons[] = {
        {kEntryLabel, "entry"},   {kCallTarget, "call"},  {kJumpTarget, "jump"},
        {kDataReference, "data"}, {kTableEntry, "table"}, {kSystemCallRoutine, "syscall"}};
    QStringList lines;
    for (const CodeLabel& label : map.labels()) {
        QStringList reasons;
        for (const auto& [bit, name] : kReasons) {
            if ((label.reasons & bit) != 0) {
                reasons.append(QLatin1String(name));
            }
        }
        lines.append(NumberForm::hexWord(map.addressOf(label.offset)) + QLatin1Char(' ') +
                     reasons.join(QLatin1Char('+')));
    }
    return lines;
}

QList<CodeRange> parsed(const QStringList& lines, int first) {
    QList<CodeRange> ranges;
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '));
        const int start = first + *NumberForm::parseWord(fields.at(0)) - CodeMap::kDefaultBase;
        const int end = first + *NumberForm::parseWord(fields.at(1)) - CodeMap::kDefaultBase;
        ranges.append({start, end, *CodeKinds::parse(fields.at(2))});
    }
    return ranges;
}

} // namespace Z80Programs
