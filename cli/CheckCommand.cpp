// SPDX-License-Identifier: GPL-3.0-or-later
#include "CheckCommand.h"

#include "AddinCheck.h"
#include "CliOutput.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace CheckCommand {

const CommandUsage kUsage{
    "check",
    {{"check FILE... [--json] [--strict]",
      "what the handheld and the parser need,\nas errors and warnings"}},
    "Checks each file for what the handheld and Mobrin's parser need of an add-in and\n"
    "prints a line a finding: the file, error or warning, a stable id, the offset it\n"
    "concerns and one sentence; \"FILE: no findings\" when there is none. Never writes.\n"
    "\n"
    "  --json     print one JSON array with an object per file: \"file\", \"size\",\n"
    "             \"errors\", \"warnings\" and \"findings\", each finding with \"id\",\n"
    "             \"severity\", \"offset\" and \"sentence\"; a file that cannot be read\n"
    "             has \"unreadable\" instead\n"
    "  --strict   count warnings as errors\n"
    "\n"
    "  error    not-addin           no \"ApplicationName:\", or a class type not ADDIN\n"
    "  error    damaged-header      the file ends inside the header\n"
    "  error    too-large           over 9000 bytes\n"
    "  warning  short-file          under 8192 bytes (Open offers to pad it)\n"
    "  error    control-character   a control character in the class, name or\n"
    "                               description (CR LF in the description aside)\n"
    "  warning  line-feed-missing   no line feed after the CR of the class or name\n"
    "  error    empty-name          the name is empty\n"
    "  warning  description-crlf    the description holds CR LF\n"
    "  warning  word1-mismatch      word 1 runs past the end, or a byte after its\n"
    "                               length is not padding (00 bytes, then FF bytes)\n"
    "  warning  white-icon          the icon is all white\n"
    "  error    no-code             everything after the header is padding (00\n"
    "                               bytes, then FF bytes)\n"
    "  warning  code-origin         most CALL and JP targets lie outside the code at\n"
    "                               $8000, as if it were assembled for another address\n"
    "\n"
    "Exit status: 0 when no file has an error (with --strict, nor a warning), 1 when\n"
    "one has, 2 usage error, 3 when a file cannot be read (before 1).\n",
};

namespace {

struct Counts {
    int errors = 0;
    int warnings = 0;
};

Counts countsOf(const QList<AddinFinding>& findings) {
    Counts counts;
    for (const AddinFinding& finding : findings) {
        ++(finding.isError() ? counts.errors : counts.warnings);
    }
    return counts;
}

void printLines(std::ostream& out, const QString& shownPath, const QList<AddinFinding>& findings) {
    if (findings.isEmpty()) {
        CliOutput::line(out, shownPath + QLatin1String(": no findings"));
    }
    for (const AddinFinding& finding : findings) {
        CliOutput::line(out, shownPath + QLatin1String(": ") + CliOutput::escaped(finding.line()));
    }
}

QJsonObject asJson(const QString& shownPath, qint64 size, const QList<AddinFinding>& findings) {
    QJsonArray list;
    for (const AddinFinding& finding : findings) {
        list.append(QJsonObject{{QStringLiteral("id"), finding.id},
                                {QStringLiteral("severity"), finding.severityText()},
                                {QStringLiteral("offset"), finding.offset},
                                {QStringLiteral("sentence"), finding.sentence}});
    }
    const Counts counts = countsOf(findings);
    return {{QStringLiteral("file"), shownPath},
            {QStringLiteral("size"), size},
            {QStringLiteral("errors"), counts.errors},
            {QStringLiteral("warnings"), counts.warnings},
            {QStringLiteral("findings"), list}};
}

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addFlag({QStringLiteral("json")});
    command.addFlag({QStringLiteral("strict")});
    command.setAnyFileCount();
    if (const auto stop = command.parse(arguments, 1, out, err)) {
        return *stop;
    }
    const bool json = command.isSet(QStringLiteral("json"));
    const bool strict = command.isSet(QStringLiteral("strict"));
    bool unreadable = false;
    bool failed = false;
    QJsonArray files;
    for (const QString& path : command.files()) {
        // File names are shown as in every message, so that JSON holds only valid text.
        const QString shownPath = CliOutput::escaped(path);
        const FileInput input = FileInput::readForCheck(path);
        if (!input.ok()) {
            unreadable = true;
            input.fail(err);
            files.append(
                QJsonObject{{QStringLiteral("file"), shownPath},
                            {QStringLiteral("unreadable"), input.error.mid(path.size() + 2)}});
            continue;
        }
        const QList<AddinFinding> findings = AddinCheck::of(input.bytes, input.fileSize);
        const Counts counts = countsOf(findings);
        failed = failed || counts.errors > 0 || (strict && counts.warnings > 0);
        if (json) {
            files.append(asJson(shownPath, input.fileSize, findings));
        } else {
            printLines(out, shownPath, findings);
        }
    }
    if (json) {
        const QByteArray document = QJsonDocument(files).toJson(QJsonDocument::Indented);
        out.write(document.constData(), document.size());
    }
    if (unreadable) {
        return ExitCode::kUnreadable;
    }
    return failed ? ExitCode::kCheckFailed : ExitCode::kOk;
}

} // namespace CheckCommand
