// SPDX-License-Identifier: GPL-3.0-or-later
#include "CompareCommands.h"

#include "AddinDocument.h"
#include "ChangeTurn.h"
#include "CommandTexts.h"
#include "DumpState.h"
#include "FileCommands.h"
#include "FilePath.h"

#include <cerrno>

CompareCommands::CompareCommands(Prompts& prompts, const AddinDocument& document, DumpState& dump,
                                 const ChangeTurn& turn, QObject* parent)
    : QObject(parent), m_prompts(prompts), m_document(document), m_dump(dump), m_choice(prompts) {
    // The other file was chosen against this one: another file ends the comparison, while a
    // change of this one, undone or done again too, is compared again once the turn's changes
    // are over.
    connect(&document, &AddinDocument::replaced, this, &CompareCommands::end);
    connect(&turn, &ChangeTurn::ended, this, [this](const ChangeTurn::Changes& changes) {
        if (!changes.replaced && !changes.bytes.isEmpty()) {
            compareAgain();
        }
    });
}

bool CompareCommands::compareWithChosen() {
    if (!m_document.isLoaded()) {
        return false;
    }
    const std::optional<QString> path = m_choice.chooseToOpen(
        QStringLiteral("Compare with"), FileCommands::filters(), m_document.path());
    if (!path || path->isEmpty()) {
        return false;
    }
    return compareWith(*path);
}

bool CompareCommands::compareWith(const QString& path) {
    if (!m_document.isLoaded()) {
        return false;
    }
    if (!FilePath::namesExactly(path)) {
        refuse(CommandTexts::kInexactName);
        return false;
    }
    // As Open does: nothing is read until the file is known to be a regular file of a fitting
    // size, so a FIFO cannot block the window.
    const AddinImage::Probe probe = AddinImage::probe(path);
    if (probe.outcome == AddinImage::ProbeOutcome::TooLong) {
        refuse(QStringLiteral("The file to compare with has more than 9000 bytes, so it is no "
                              "add-in. Nothing was compared."));
        return false;
    }
    std::optional<QByteArray> bytes;
    QString reason = QStringLiteral("Not a regular file");
    if (probe.outcome == AddinImage::ProbeOutcome::Ok) {
        bytes = probe.size > 0 ? AddinImage::readFile(path, probe.size) : QByteArray();
        reason = bytes ? QString() : qt_error_string(errno);
    } else if (probe.outcome == AddinImage::ProbeOutcome::Missing) {
        reason = qt_error_string(probe.error);
    }
    if (!bytes) {
        refuse(CommandTexts::withReason(
            QStringLiteral("The file to compare with cannot be read. Nothing was compared."),
            reason));
        return false;
    }
    m_other = std::move(*bytes);
    m_otherPath = path;
    compareAgain();
    return true;
}

void CompareCommands::compareAgain() {
    if (m_otherPath.isEmpty()) {
        return;
    }
    m_comparison = AddinComparison::of(m_document.image().bytes(), m_other);
    highlight();
    emit changed();
}

void CompareCommands::end() {
    if (!m_comparison) {
        return;
    }
    m_comparison.reset();
    m_other.clear();
    m_otherPath.clear();
    highlight();
    emit changed();
}

void CompareCommands::refuse(const QString& text) {
    m_prompts.tell(text, appTitle());
}

void CompareCommands::highlight() {
    // The dump paints only the bytes it shows, so the marks go in whole: "Strip header" needs
    // no new ones.
    m_dump.highlights().set(ByteHighlights::Kind::CompareDifference,
                            m_comparison ? m_comparison->marks() : QList<ByteRange>());
}

namespace {

QString counted(qsizetype count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// By position: how many bytes differ, in how many runs.
QString positionLine(const AddinComparison& comparison) {
    const QList<ComparedSection::Run>& runs = comparison.section().runs;
    if (runs.isEmpty()) {
        return QStringLiteral("No byte differs.");
    }
    qsizetype bytes = 0;
    for (const ComparedSection::Run& run : runs) {
        bytes += run.length;
    }
    return QStringLiteral("%1 in %2; F7 and Shift+F7 step to them.")
        .arg(counted(bytes, "byte differs", "bytes differ"), counted(runs.size(), "run", "runs"));
}

// By structure: where this file differs, and whose tail is longer.
QStringList structureLines(const AddinComparison& comparison) {
    if (comparison.same()) {
        return {QStringLiteral("No byte differs.")};
    }
    QStringList lines;
    const qsizetype marks = comparison.marks().size();
    if (marks == 0) {
        lines << QStringLiteral("No byte of this file differs.");
    } else {
        const int inHeader = comparison.marksInHeader();
        lines << QStringLiteral("%1 in this file, %2 in the header and %3 after it; F7 and "
                                "Shift+F7 step to them.")
                     .arg(counted(marks, "place differs", "places differ"))
                     .arg(inHeader)
                     .arg(marks - inHeader);
    }
    const ComparedSection& code = comparison.section();
    if (code.thisRange.length != code.otherRange.length) {
        lines << QStringLiteral("After the header come %1 bytes here and %2 in the other file, "
                                "compared from the first code byte on.")
                     .arg(code.thisRange.length)
                     .arg(code.otherRange.length);
    }
    return lines;
}

} // namespace

QStringList CompareCommands::summary() const {
    if (!m_comparison) {
        return {};
    }
    QStringList lines{QStringLiteral("Compared with %1").arg(m_otherPath)};
    if (m_comparison->basis() == AddinComparison::Basis::Structure) {
        lines << structureLines(*m_comparison);
    } else {
        lines << positionLine(*m_comparison);
    }
    if (const QString note = m_comparison->lengthNote(); !note.isEmpty()) {
        lines << note;
    }
    if (m_comparison->headerDifferences().isEmpty()) {
        lines << QStringLiteral("No header field differs.");
    }
    return lines;
}

QString CompareCommands::step(RangeStep::Direction direction) {
    if (!m_comparison) {
        return AddinComparison::kNoDifferences;
    }
    const RangeStep step = m_comparison->step(m_dump.selection(), direction, m_dump.shownRange());
    if (step.range) {
        m_dump.select(step.range->start, step.range->length);
    }
    return AddinComparison::note(step);
}
