// SPDX-License-Identifier: GPL-3.0-or-later
#include "MarksCommand.h"

#include "CliOutput.h"
#include "CodeMap.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "FilePath.h"
#include "MarksFile.h"
#include "MarksInput.h"
#include "NumberForm.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <tuple>
#include <utility>

#include <sys/stat.h>

namespace MarksCommand {

const CommandUsage kUsage{
    "marks",
    {{"marks FILE [--marks MARKS] [--json | --suggest]",
      "the author's marks with the code map's findings"}},
    "Lists what is known of the add-in's code, from the first code byte to the end of\n"
    "the file: the kinds of its ranges, its labels, the author's comments and bookmarks,\n"
    "each said by the author's marks (mobrin(5)) or found by the code map, one a line in\n"
    "the order of their addresses:\n"
    "\n"
    "  code     $8000 $9113 found\n"
    "  bytes    $9113 $9121 marked\n"
    "  label    $8000 found L8000 (entry)\n"
    "  label    $9113 marked msg_restart (data)\n"
    "  comment  $9113 marked Shown when a new game starts\n"
    "  bookmark $9113 $913B marked The messages\n"
    "\n"
    "A range gives its first address and the address after it; a label its name and\n"
    "why the code map has it (entry, call, jump, data, table, system-call), if it does.\n"
    "Marks whose bytes changed since they were made follow at the end as \"unplaced\";\n"
    "they apply nowhere.\n"
    "\n"
    "  --marks MARKS   the marks file to read; by default FILE.marks beside the add-in,\n"
    "                  when there is one. A file with a bad line is refused with its\n"
    "                  line number and reason (exit 3)\n"
    "  --json          one JSON object a line: \"type\" (a kind, \"label\", \"comment\" or\n"
    "                  \"bookmark\"), \"start\" and \"end\" of a range or \"address\",\n"
    "                  \"source\" (\"marked\" or \"found\"), \"placed\", \"text\" (the name,\n"
    "                  comment or note) and a label's \"reasons\"\n"
    "  --suggest       the code map's findings alone as a marks file, on the standard\n"
    "                  output: every label by its generated name (L9113), so that\n"
    "                  renaming one is an edit of one line, and the kind of every range\n"
    "                  in a comment line (\"# text     $9113 $9121 ...\"), kept by taking\n"
    "                  the \"# \" away; read with the add-in as it is, it changes\n"
    "                  nothing the listing shows\n"
    "\n"
    "The file must be an add-in (class type ADDIN) with a complete header (else exit 4).\n",
};

namespace {

struct Entry {
    Mark mark;
    bool found = false; // by the code map, not marked
    quint8 reasons = 0; // a label's, as the code map has them
};

QStringList reasonNames(quint8 reasons) {
    static const std::pair<quint8, const char*> kNames[] = {
        {kEntryLabel, "entry"},   {kCallTarget, "call"},  {kJumpTarget, "jump"},
        {kDataReference, "data"}, {kTableEntry, "table"}, {kSystemCallRoutine, "system-call"}};
    QStringList names;
    for (const auto& [bit, name] : kNames) {
        if (reasons & bit) {
            names << QLatin1String(name);
        }
    }
    return names;
}

QList<Entry> entriesOf(const CodeMap& map, const AddinMarks& marks) {
    QList<Entry> entries;
    const auto address = [&map](int offset) { return int(map.addressOf(offset)); };
    // The map joins a marked range with the found ranges of its kind around it: cut them apart.
    QList<int> cuts;
    for (const Mark& mark : marks.marks()) {
        if (mark.placed && mark.type == Mark::Type::Kind) {
            cuts << mark.start << mark.end;
        }
    }
    const auto markedKind = [&marks](int start) {
        return std::any_of(marks.marks().cbegin(), marks.marks().cend(), [start](const Mark& m) {
            return m.placed && m.type == Mark::Type::Kind && m.start <= start && start < m.end;
        });
    };
    for (const CodeRange& range : map.ranges()) {
        int start = address(range.start);
        const int end = address(range.end);
        while (start < end) {
            int stop = end;
            for (const int cut : cuts) {
                if (cut > start && cut < stop) {
                    stop = cut;
                }
            }
            entries.append({Mark::ofKind(range.kind, start, stop), !markedKind(start)});
            start = stop;
        }
    }
    for (const CodeLabel& label : map.labels()) {
        const quint8 found = label.reasons & ~kAuthorLabel;
        const bool named = (label.reasons & kAuthorLabel) != 0;
        entries.append({Mark::point(Mark::Type::Label, address(label.offset),
                                    map.labelNames().nameAt(label.offset)),
                        !named, found});
    }
    for (const int offset : map.commentOffsets()) {
        entries.append({Mark::point(Mark::Type::Comment, address(offset), map.commentAt(offset))});
    }
    for (const Mark& mark : marks.marks()) {
        if (mark.type == Mark::Type::Bookmark || !mark.placed) {
            entries.append({mark});
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::tuple(!a.mark.placed, a.mark.start, a.mark.type) <
               std::tuple(!b.mark.placed, b.mark.start, b.mark.type);
    });
    return entries;
}

QString textLine(const Entry& entry) {
    const Mark& mark = entry.mark;
    QString line =
        mark.word().leftJustified(8) + QLatin1Char(' ') + NumberForm::hexWord(mark.start);
    if (mark.isRange()) {
        line += QLatin1Char(' ') + NumberForm::hexWord(mark.end);
    }
    line += QLatin1String(!mark.placed ? " unplaced" : entry.found ? " found" : " marked");
    if (!mark.text.isEmpty()) {
        line += QLatin1Char(' ') + mark.text;
    }
    if (const QStringList reasons = reasonNames(entry.reasons); !reasons.isEmpty()) {
        line += QLatin1String(" (") + reasons.join(QLatin1String(", ")) + QLatin1Char(')');
    }
    return line + QLatin1Char('\n');
}

QString jsonLine(const Entry& entry) {
    const Mark& mark = entry.mark;
    QJsonObject object{{QStringLiteral("type"), mark.word()}};
    if (mark.isRange()) {
        object.insert(QStringLiteral("start"), mark.start);
        object.insert(QStringLiteral("end"), mark.end);
    } else {
        object.insert(QStringLiteral("address"), mark.start);
    }
    object.insert(QStringLiteral("source"), QLatin1String(entry.found ? "found" : "marked"));
    object.insert(QStringLiteral("placed"), mark.placed);
    if (mark.type != Mark::Type::Kind) {
        object.insert(QStringLiteral("text"), mark.text);
    }
    if (mark.type == Mark::Type::Label) {
        object.insert(QStringLiteral("reasons"),
                      QJsonArray::fromStringList(reasonNames(entry.reasons)));
    }
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) +
           QLatin1Char('\n');
}

// The code map's findings as marks: its labels by their generated names, and the kinds of its
// ranges but the padding as comment lines before them, to be kept by taking the "# " away.
// Given back as they are, the labels change nothing; kinds given would fix the map where it
// now adapts to the code.
AddinMarks suggestion(const CodeMap& map, QByteArrayView image) {
    AddinMarks marks;
    QStringList kinds;
    qsizetype range = 0;
    const auto kindsUpTo = [&](int address) {
        for (; range < map.ranges().size() && map.addressOf(map.ranges()[range].start) <= address;
             ++range) {
            const CodeRange& found = map.ranges()[range];
            if (found.kind != CodeKind::Padding) {
                const Mark kind = Mark::ofKind(found.kind, map.addressOf(found.start),
                                               map.addressOf(found.start) + found.length());
                kinds << QStringLiteral("# ") +
                             MarksFile::lineOf(
                                 kind, AddinMarks::digestOf(image, map.firstOffset(), kind));
            }
        }
    };
    for (const CodeLabel& label : map.labels()) {
        const int address = map.addressOf(label.offset);
        kindsUpTo(address);
        Mark mark =
            Mark::point(Mark::Type::Label, address, CodeLabels::generatedName(quint16(address)));
        mark.remarks = std::exchange(kinds, {});
        marks.add(std::move(mark));
    }
    kindsUpTo(0xFFFF);
    marks.setClosingRemarks(kinds);
    return marks;
}

bool exists(const QString& path) {
    struct stat info {};
    return ::lstat(FilePath::toBytes(path).constData(), &info) == 0 || errno != ENOENT;
}

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addValue({QStringLiteral("marks")}, QStringLiteral("MARKS"));
    command.addFlag({QStringLiteral("json")});
    command.addFlag({QStringLiteral("suggest")});
    if (const auto stop = command.parse(arguments, 1, out, err)) {
        return *stop;
    }
    const bool suggest = command.isSet(QStringLiteral("suggest"));
    if (suggest && command.isSet(QStringLiteral("json"))) {
        return command.usageError(err, QStringLiteral("--json and --suggest exclude each other"));
    }
    if (suggest && command.isSet(QStringLiteral("marks"))) {
        return command.usageError(
            err, QStringLiteral("--suggest writes the code map's findings alone; --marks cannot "
                                "go with it"));
    }
    FileInput input;
    if (const auto stop = command.readAddin(input, err)) {
        return *stop;
    }
    const int size = int(input.bytes.size());
    if (suggest) {
        const CodeMap map = CodeMap::of(input.bytes, input.header, {}, true);
        const QByteArray text =
            MarksFile::write(suggestion(map, input.bytes), input.bytes, input.header.headSize);
        out.write(text.constData(), text.size());
        return ExitCode::kOk;
    }
    const QString path = command.isSet(QStringLiteral("marks"))
                             ? command.value(QStringLiteral("marks"))
                             : MarksFile::besidePath(command.file());
    MarksInput marks;
    if (command.isSet(QStringLiteral("marks")) || exists(path)) {
        if (const auto stop = marks.read(path, input.bytes, input.header, err)) {
            return *stop;
        }
    }
    const CodeMap map =
        CodeMap::of(input.bytes, input.header, marks.codeMarks(input.header, size), true);
    const bool json = command.isSet(QStringLiteral("json"));
    QString text;
    for (const Entry& entry : entriesOf(map, marks.marks)) {
        text += json ? jsonLine(entry) : textLine(entry);
    }
    CliOutput::write(out, text);
    return ExitCode::kOk;
}

} // namespace MarksCommand
