// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileCommands.h"

#include "AddinDocument.h"
#include "CommandTexts.h"
#include "FilePath.h"
#include "MarksBeside.h"
#include "MarksFile.h"

#include <QFileInfo>

#include <cerrno>

namespace {

const QString kOpenError = QStringLiteral("Error opening file!!");

} // namespace

FileCommands::FileCommands(Prompts& prompts, AddinDocument& document, QObject* parent)
    : QObject(parent), m_prompts(prompts), m_document(document), m_choice(prompts) {}

std::vector<Prompts::FileFilter> FileCommands::filters() {
    return {
        {QStringLiteral("All add in types (*.rex;*.DS2)"),
         {QStringLiteral("*.rex"), QStringLiteral("*.DS2")}},
        {QStringLiteral("REX add ins (*.rex)"), {QStringLiteral("*.rex")}},
        {QStringLiteral("DataSlim2 add ins (*.DS2)"), {QStringLiteral("*.DS2")}},
        {QStringLiteral("All files (*.*)"), {QStringLiteral("*")}},
    };
}

void FileCommands::tell(const QString& text) {
    m_prompts.tell(text, appTitle());
}

// Questions that could lose data default to the harmless No.
Prompts::Answer FileCommands::askYesNo(const QString& text) {
    return m_prompts.ask(
        {text, appTitle(), Prompts::Icon::None, Prompts::Buttons::YesNo, Prompts::Answer::No});
}

bool FileCommands::askToDiscard() {
    if (!CommandTexts::agreesToDiscard(m_prompts, m_document.isPatched())) {
        return false;
    }
    m_document.discardChanges();
    return true;
}

void FileCommands::open() {
    if (!askToDiscard()) {
        return;
    }
    const std::optional<QString> path = m_choice.chooseToOpen({}, filters());
    if (!path) {
        return;
    }
    // Open takes whatever name the dialog gave, an empty one too: the next dialog offers it.
    m_choice.remember(*path);
    emit fileChosen();
    if (!path->isEmpty()) {
        load(*path);
    }
}

void FileCommands::suggestName(const QString& path) {
    m_choice.remember(path);
}

void FileCommands::openPath(const QString& path) {
    if (!askToDiscard()) {
        return;
    }
    m_choice.remember(path);
    emit fileChosen();
    load(path);
}

void FileCommands::load(const QString& path) {
    // Nothing is padded or read until the file is known to be a regular file of a fitting
    // size: a FIFO or a directory would block or fail half-way.
    const AddinImage::Probe probe = AddinImage::probe(path);
    if (probe.outcome == AddinImage::ProbeOutcome::TooLong) {
        tell(QStringLiteral("File is too long!"));
        return;
    }
    if (probe.outcome == AddinImage::ProbeOutcome::InexactName) {
        tell(CommandTexts::kInexactName);
        return;
    }
    if (probe.outcome != AddinImage::ProbeOutcome::Ok) {
        tell(kOpenError);
        return;
    }
    qint64 padding = 0;
    if (probe.size < AddinImage::kPaddedSize) {
        if (askYesNo(QStringLiteral("File is less than 8K!\r\nPad it to 8K?")) ==
            Prompts::Answer::Yes) {
            padding = AddinImage::paddingFor(probe.size);
        }
    }
    int padError = 0;
    if (padding > 0 && !AddinImage::padOnDisk(path, probe.size, &padError)) {
        tell(CommandTexts::withReason(kOpenError,
                                      padError != 0 ? qt_error_string(padError) : QString()));
        return;
    }
    const qint64 length = probe.size + padding;
    std::optional<QByteArray> bytes =
        length > 0 ? AddinImage::readFile(path, length) : std::nullopt;
    if (!bytes) {
        tell(kOpenError);
        return;
    }
    // Image, path and size are replaced together, only once the file has been read in full;
    // the marks beside it with them.
    const AddinHeader header = AddinHeader::parse(*bytes);
    const QString marksPath = MarksFile::besidePath(path);
    MarksBeside::Found marks;
    if (header.complete() && header.isAddin()) {
        marks = MarksBeside::read(marksPath, *bytes, header.headSize);
    } else if (int error = 0; MarksBeside::readBytes(marksPath, error) || error != ENOENT) {
        marks.outcome = MarksBeside::Found::Outcome::Refused;
        marks.problem = QStringLiteral("the add-in has no complete header to put them on");
    }
    m_document.load(AddinImage(std::move(*bytes), path), std::move(marks.marks), marks.problem);
    const QString name = QFileInfo(marksPath).fileName();
    if (marks.outcome == MarksBeside::Found::Outcome::Refused) {
        tell(QStringLiteral("The marks in %1 were not read: %2.\r\nThe file stays as it is: "
                            "saving asks before it replaces it.")
                 .arg(name, marks.problem));
    } else if (marks.unplaced > 0) {
        tell(marks.unplaced == 1
                 ? QStringLiteral("1 mark in %1 could not be placed: its bytes changed.").arg(name)
                 : QStringLiteral("%1 marks in %2 could not be placed: their bytes changed.")
                       .arg(marks.unplaced)
                       .arg(name));
    }
}

AddinDocument::UnreadMarks FileCommands::askUnreadMarks(const QString& path) {
    if (!m_document.wouldReplaceUnreadMarks(path)) {
        return AddinDocument::UnreadMarks::Keep;
    }
    const QString name = QFileInfo(MarksFile::besidePath(path)).fileName();
    const Prompts::Answer answer = askYesNo(
        QStringLiteral("The marks in %1 were not read: %2.\r\nReplace that file with the marks "
                       "made since? No saves the add-in and leaves the file as it is.")
            .arg(name, m_document.unreadMarksProblem()));
    return answer == Prompts::Answer::Yes ? AddinDocument::UnreadMarks::Replace
                                          : AddinDocument::UnreadMarks::Keep;
}

bool FileCommands::save() {
    // A new add-in has no file yet: Save asks where, as Save As does.
    if (m_document.isLoaded() && m_document.path().isEmpty()) {
        return saveAs();
    }
    const AddinImage::WriteResult result = m_document.save(askUnreadMarks(m_document.path()));
    if (!result.written()) {
        tell(CommandTexts::withReason(CommandTexts::kSaveError, result.reason()));
        return false;
    }
    return true;
}

bool FileCommands::saveAs() {
    if (!m_document.isLoaded()) {
        tell(CommandTexts::kSaveError);
        return false;
    }
    const std::optional<QString> path = m_choice.chooseToSave({}, filters());
    if (!path || path->isEmpty()) {
        return false;
    }
    if (!FilePath::namesExactly(*path)) {
        tell(CommandTexts::kInexactName);
        return false;
    }
    const AddinImage::WriteResult result = m_document.saveAs(*path, askUnreadMarks(*path));
    if (!result.written()) {
        tell(CommandTexts::withReason(CommandTexts::kSaveError, result.reason()));
        return false;
    }
    return true;
}
