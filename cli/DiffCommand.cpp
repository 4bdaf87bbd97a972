// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffCommand.h"

#include "AddinComparison.h"
#include "AddinHeader.h"
#include "CliOutput.h"
#include "CodeAddress.h"
#include "CommandOptions.h"
#include "DumpText.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "HeaderFacts.h"
#include "NumberForm.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace DiffCommand {

const char* const kHelp =
    "Usage: mobrin-cli diff A B [--json]\n"
    "\n"
    "Compares two files byte for byte. First the header fields\n"
    "that differ (the keys of info), A's value, then B's; texts in quotes, \"(none)\"\n"
    "where a file has no such field:\n"
    "\n"
    "  name: \"Clock\" | \"Time \"\n"
    "\n"
    "then every run of differing bytes in the part both files have: its file offset, its\n"
    "code address when it starts in A's code (the first code byte at $8000, as in disasm),\n"
    "its length, and the bytes of A, then B; of a run longer than 16 bytes the first 16,\n"
    "and how many more:\n"
    "\n"
    "  $0017           5 bytes  43 6C 6F 63 6B | 54 69 6D 65 20\n"
    "  $00CD @$8000    1 byte   77 | 78\n"
    "\n"
    "When the lengths differ, a line says so before the runs, and only the common part is\n"
    "compared byte by byte. Two files that are the same print nothing.\n"
    "\n"
    "  --json   one JSON object: \"header\" (field, a, b: texts as strings, numbers as\n"
    "           numbers, a missing field as null), \"a_size\", \"b_size\", \"compared\"\n"
    "           (the common length) and \"runs\" (offset, address when in A's code,\n"
    "           length, and a and b as hex pairs, the first 16 bytes at most)\n"
    "\n"
    "Exit codes, as cmp and diff: 0 the files are the same, 1 they differ, 2 usage error,\n"
    "3 a file is missing, not a regular file, unreadable or over 9000 bytes.\n";

namespace {

constexpr int kBytesShown = 16;

// A text in quotes, escaped as every CLI text is, its own quotes too, so it reads back alone.
QString sideLine(const std::optional<HeaderFact>& fact) {
    if (!fact) {
        return HeaderDifference::kMissing;
    }
    if (fact->kind != HeaderFact::Kind::Text) {
        return fact->valueText(true);
    }
    return QLatin1Char('"') + CliOutput::escaped(fact->text).replace(QLatin1Char('"'), "\\x22") +
           QLatin1Char('"');
}

QString shownBytes(QByteArrayView image, const ByteRange& run) {
    const int shown = qMin(run.length, kBytesShown);
    return DumpText::hexText(image.sliced(run.start, shown)).trimmed();
}

QString sideBytes(QByteArrayView image, const ByteRange& run) {
    QString text = shownBytes(image, run);
    if (run.length > kBytesShown) {
        text += QStringLiteral(" +%1 more").arg(run.length - kBytesShown);
    }
    return text;
}

QString runLine(QByteArrayView a, QByteArrayView b, const AddinHeader& header,
                const ByteRange& run) {
    const auto address = CodeAddress::ofOffset(run.start, header, int(a.size()));
    const QString addressColumn =
        address ? QLatin1Char('@') + NumberForm::hexWord(*address) : QString(6, QLatin1Char(' '));
    const QString unit = run.length == 1 ? QStringLiteral("byte ") : QStringLiteral("bytes");
    return QStringLiteral("%1 %2 %3 %4  %5 | %6")
        .arg(NumberForm::hexWord(run.start), addressColumn,
             QString::number(run.length).rightJustified(4), unit, sideBytes(a, run),
             sideBytes(b, run));
}

QString asText(const AddinComparison& comparison, QByteArrayView a, QByteArrayView b,
               const AddinHeader& header) {
    QString text;
    for (const HeaderDifference& field : comparison.headerDifferences()) {
        text += field.key + QLatin1String(": ") + sideLine(field.thisFact) + QLatin1String(" | ") +
                sideLine(field.otherFact) + QLatin1Char('\n');
    }
    if (comparison.thisLength() != comparison.otherLength()) {
        text += QStringLiteral("A has %1 bytes and B %2: only the first %3 bytes are compared\n")
                    .arg(comparison.thisLength())
                    .arg(comparison.otherLength())
                    .arg(comparison.commonLength());
    }
    for (const ByteRange& run : comparison.runs()) {
        text += runLine(a, b, header, run) + QLatin1Char('\n');
    }
    return text;
}

QJsonValue jsonSide(const std::optional<HeaderFact>& fact) {
    return fact ? HeaderFacts::asJsonValue(*fact) : QJsonValue();
}

QByteArray asJson(const AddinComparison& comparison, QByteArrayView a, QByteArrayView b,
                  const AddinHeader& header) {
    QJsonArray fields;
    for (const HeaderDifference& field : comparison.headerDifferences()) {
        fields.append(QJsonObject{{QStringLiteral("field"), field.key},
                                  {QStringLiteral("a"), jsonSide(field.thisFact)},
                                  {QStringLiteral("b"), jsonSide(field.otherFact)}});
    }
    QJsonArray runs;
    for (const ByteRange& run : comparison.runs()) {
        QJsonObject object{{QStringLiteral("offset"), run.start},
                           {QStringLiteral("length"), run.length},
                           {QStringLiteral("a"), shownBytes(a, run)},
                           {QStringLiteral("b"), shownBytes(b, run)}};
        if (const auto address = CodeAddress::ofOffset(run.start, header, int(a.size()))) {
            object.insert(QStringLiteral("address"), int(*address));
        }
        runs.append(object);
    }
    const QJsonObject document{{QStringLiteral("header"), fields},
                               {QStringLiteral("a_size"), comparison.thisLength()},
                               {QStringLiteral("b_size"), comparison.otherLength()},
                               {QStringLiteral("compared"), comparison.commonLength()},
                               {QStringLiteral("runs"), runs}};
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(QStringLiteral("diff"), QLatin1String(kHelp));
    command.addFlag({QStringLiteral("json")});
    if (const auto stop = command.parse(arguments, 2, out, err)) {
        return *stop;
    }
    const FileInput a = FileInput::read(command.file(0));
    if (!a.ok()) {
        return CliOutput::fail(err, a.exitCode, a.error);
    }
    const FileInput b = FileInput::read(command.file(1));
    if (!b.ok()) {
        return CliOutput::fail(err, b.exitCode, b.error);
    }
    const AddinComparison comparison = AddinComparison::of(a.bytes, b.bytes);
    const AddinHeader header = AddinHeader::parse(a.bytes);
    if (command.isSet(QStringLiteral("json"))) {
        const QByteArray document = asJson(comparison, a.bytes, b.bytes, header);
        out.write(document.constData(), document.size());
    } else {
        CliOutput::write(out, asText(comparison, a.bytes, b.bytes, header));
    }
    return comparison.same() ? ExitCode::kOk : ExitCode::kDiffer;
}

} // namespace DiffCommand
