// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffCommand.h"

#include "AddinComparison.h"
#include "AddinHeader.h"
#include "CliOutput.h"
#include "CodeDiff.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "HeaderFacts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace DiffCommand {

using Shown = CommandUsage::Form::Shown;

const CommandUsage kUsage{
    "diff",
    {{"diff A B [--by-position] [--json]", "", Shown::InHelp},
     {"diff A B [--json]", "the header fields and bytes that differ", Shown::InOverview}},
    "Compares two add-ins by their structure. First the header fields that differ\n"
    "(the keys of info, and byte_after_class_cr and byte_after_name_cr for the bytes\n"
    "after the CRs of the class line and the name), A's value, then B's; texts in\n"
    "quotes; the icon as one field, with how many of its pixels differ:\n"
    "\n"
    "  description: \"Shows time\" | \"Shows times\"\n"
    "  icon: 37 pixels differ\n"
    "\n"
    "then the code, every byte after the header, aligned at its first byte in each\n"
    "file: every run of differing bytes over the part both have, with its file offset in\n"
    "A and in B, its code address (the first code byte at $8000, as in disasm), its\n"
    "length, and the bytes of A, then B; of a run longer than 16 bytes the first 16, and\n"
    "how many more; last, the tail only the longer one has:\n"
    "\n"
    "  $00CD $00CE @$8000    1 byte   00 | 78\n"
    "  tail: only A has its last byte, from $1FFF (@$9F32): FF\n"
    "\n"
    "So a header that grew moves nothing after it. When A or B is not an add-in with a\n"
    "complete header, the files are compared by position, as with --by-position. Two\n"
    "files that are the same print nothing.\n"
    "\n"
    "  --by-position  compare byte for byte at the same offsets: the header fields\n"
    "                 that differ, a line when the lengths differ (only the common\n"
    "                 part is compared), then every run with its offset, its code\n"
    "                 address when it starts in A's code, its length and the bytes:\n"
    "                 \"$00CD @$8000    1 byte   00 | 78\"\n"
    "  --json         one JSON object: \"header\" (field, a, b: texts as strings,\n"
    "                 numbers as numbers, a missing field as null; the icon as field\n"
    "                 and pixels), \"a_size\", \"b_size\" and \"code\": a_offset,\n"
    "                 a_length, b_offset, b_length, \"runs\" (a_offset, b_offset,\n"
    "                 address, length, and a and b as hex pairs, the first 16 bytes at\n"
    "                 most) and, when the lengths differ, \"tail\" (file \"a\" or \"b\",\n"
    "                 offset, address, length, bytes); by position \"compared\" (the\n"
    "                 common length) and \"runs\" (offset, address when in A's code,\n"
    "                 length, a and b) instead of \"code\"\n"
    "\n"
    "Exit codes, as cmp and diff: 0 the files are the same, 1 they differ, 2 usage error,\n"
    "3 a file is missing, not a regular file, unreadable or over 9000 bytes.\n",
};

namespace {

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

QString fieldLine(const HeaderDifference& field) {
    if (field.key == HeaderDifference::kIcon) {
        return field.key + QLatin1String(": ") + field.pixelsText() + QLatin1Char('\n');
    }
    return field.key + QLatin1String(": ") + sideLine(field.thisFact) + QLatin1String(" | ") +
           sideLine(field.otherFact) + QLatin1Char('\n');
}

QJsonValue jsonSide(const std::optional<HeaderFact>& fact) {
    return fact ? HeaderFacts::asJsonValue(*fact) : QJsonValue();
}

QJsonArray jsonFields(const AddinComparison& comparison) {
    QJsonArray fields;
    for (const HeaderDifference& field : comparison.headerDifferences()) {
        if (field.key == HeaderDifference::kIcon) {
            fields.append(QJsonObject{{QStringLiteral("field"), field.key},
                                      {QStringLiteral("pixels"), field.pixels}});
        } else {
            fields.append(QJsonObject{{QStringLiteral("field"), field.key},
                                      {QStringLiteral("a"), jsonSide(field.thisFact)},
                                      {QStringLiteral("b"), jsonSide(field.otherFact)}});
        }
    }
    return fields;
}

void put(std::ostream& out, const QByteArray& bytes) {
    out.write(bytes.constData(), bytes.size());
}

// The header's fields that differ, through QJsonDocument, which escapes their texts; indented
// as a member of the document.
QByteArray headerJson(const AddinComparison& comparison) {
    QByteArray header = QJsonDocument(jsonFields(comparison)).toJson(QJsonDocument::Indented);
    header.chop(1);
    header.replace('\n', "\n    ");
    return header;
}

void writeStructureText(std::ostream& out, const AddinComparison& comparison, QByteArrayView a,
                        QByteArrayView b) {
    QString fields;
    for (const HeaderDifference& field : comparison.headerDifferences()) {
        fields += fieldLine(field);
    }
    CliOutput::write(out, fields);
    put(out, CodeDiff::lines(comparison.section(), a, b));
}

// The header's texts go through QJsonDocument, which escapes them; the code, thousands of runs
// at most, is written directly in the same layout.
void writeStructureJson(std::ostream& out, const AddinComparison& comparison, QByteArrayView a,
                        QByteArrayView b) {
    put(out, "{\n    \"a_size\": " + QByteArray::number(comparison.thisLength()) +
                 ",\n    \"b_size\": " + QByteArray::number(comparison.otherLength()) +
                 ",\n    \"code\": ");
    put(out, CodeDiff::json(comparison.section(), a, b));
    put(out, ",\n    \"header\": " + headerJson(comparison) + "\n}\n");
}

void writePositionText(std::ostream& out, const AddinComparison& comparison, QByteArrayView a,
                       QByteArrayView b, const AddinHeader& header) {
    QString text;
    for (const HeaderDifference& field : comparison.headerDifferences()) {
        text += fieldLine(field);
    }
    if (comparison.thisLength() != comparison.otherLength()) {
        text += QStringLiteral("A has %1 bytes and B %2: only the first %3 bytes are compared\n")
                    .arg(comparison.thisLength())
                    .arg(comparison.otherLength())
                    .arg(comparison.section().commonLength());
    }
    CliOutput::write(out, text);
    put(out, CodeDiff::positionLines(comparison.section(), a, b, header));
}

// As QJsonDocument wrote it, keys in order; the runs, thousands at most, written directly.
void writePositionJson(std::ostream& out, const AddinComparison& comparison, QByteArrayView a,
                       QByteArrayView b, const AddinHeader& header) {
    put(out, "{\n    \"a_size\": " + QByteArray::number(comparison.thisLength()) +
                 ",\n    \"b_size\": " + QByteArray::number(comparison.otherLength()) +
                 ",\n    \"compared\": " + QByteArray::number(comparison.section().commonLength()) +
                 ",\n    \"header\": " + headerJson(comparison) + ",\n    \"runs\": ");
    put(out, CodeDiff::positionJson(comparison.section(), a, b, header));
    put(out, "\n}\n");
}

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addFlag({QStringLiteral("by-position")});
    command.addFlag({QStringLiteral("json")});
    if (const auto stop = command.parse(arguments, 2, out, err)) {
        return *stop;
    }
    FileInput a;
    FileInput b;
    if (const auto stop = command.read(a, err, 0)) {
        return *stop;
    }
    if (const auto stop = command.read(b, err, 1)) {
        return *stop;
    }
    const AddinComparison comparison = command.isSet(QStringLiteral("by-position"))
                                           ? AddinComparison::byPosition(a.bytes, b.bytes)
                                           : AddinComparison::of(a.bytes, b.bytes);
    const bool json = command.isSet(QStringLiteral("json"));
    if (comparison.basis() == AddinComparison::Basis::Structure) {
        if (json) {
            writeStructureJson(out, comparison, a.bytes, b.bytes);
        } else {
            writeStructureText(out, comparison, a.bytes, b.bytes);
        }
    } else {
        const AddinHeader header = AddinHeader::parse(a.bytes);
        if (json) {
            writePositionJson(out, comparison, a.bytes, b.bytes, header);
        } else {
            writePositionText(out, comparison, a.bytes, b.bytes, header);
        }
    }
    return comparison.same() ? ExitCode::kOk : ExitCode::kDiffer;
}

} // namespace DiffCommand
