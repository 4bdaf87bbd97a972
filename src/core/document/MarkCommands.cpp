// SPDX-License-Identifier: GPL-3.0-or-later
#include "MarkCommands.h"

#include "AddinDocument.h"
#include "CodeListing.h"
#include "LabelName.h"
#include "MarksFile.h"
#include "NumberForm.h"
#include "Prompts.h"

MarkCommands::MarkCommands(Prompts& prompts, AddinDocument& document)
    : m_prompts(prompts), m_document(document) {}

QString MarkCommands::kindCaption(CodeKind kind) {
    return QStringLiteral("Mark as ") + CodeKinds::name(kind);
}

int MarkCommands::addressOf(int offset) const {
    return AddinMarks::addressOf(offset, m_document.codeStart());
}

QString MarkCommands::placeProblem(int start, int end, bool code) const {
    if (!m_document.isCompleteAddin()) {
        return QStringLiteral("Marks need an add-in with a complete header.");
    }
    if (start < 0 || start >= end || end > m_document.image().fileSize()) {
        return QStringLiteral("Select the bytes to mark first.");
    }
    if (code && start < m_document.codeStart()) {
        return QStringLiteral("Only the code can be marked so: select bytes from $8000 on.");
    }
    return {};
}

QString MarkCommands::setKind(ByteRange range, CodeKind kind) {
    if (QString problem = placeProblem(range.start, range.end(), true); !problem.isEmpty()) {
        return problem;
    }
    if (kind == CodeKind::Padding) {
        return QStringLiteral("Padding is the analysis's own kind: mark the bytes as bytes.");
    }
    AddinMarks marks = m_document.marks();
    marks.setKind(addressOf(range.start), addressOf(range.end()), kind);
    m_document.changeMarks(marks, kindCaption(kind));
    return {};
}

QString MarkCommands::backToAnalysis(ByteRange range) {
    if (QString problem = placeProblem(range.start, range.end(), true); !problem.isEmpty()) {
        return problem;
    }
    AddinMarks marks = m_document.marks();
    if (!marks.setKind(addressOf(range.start), addressOf(range.end()), std::nullopt)) {
        return QStringLiteral("No kind is marked in the selection: the analysis tells it already.");
    }
    m_document.changeMarks(marks, QStringLiteral("Back to the analysis"));
    return {};
}

QString MarkCommands::insideInstruction(int offset) const {
    const QByteArray& image = m_document.image().bytes();
    const CodeMap map =
        CodeMap::of(image, m_document.header(),
                    m_document.marks().codeMarks(m_document.codeStart(), int(image.size())), true);
    const CodeListing listing = CodeListing::ofMap(image, map);
    const int index = listing.indexAt(offset);
    if (index < 0) {
        return {};
    }
    const CodeInstruction& line = listing.instructions().at(index);
    if (line.kind != CodeKind::Code || line.offset == offset) {
        return {};
    }
    return QStringLiteral("%1 lies inside the instruction at %2: a label goes on an "
                          "instruction's first byte.")
        .arg(NumberForm::hexWord(addressOf(offset)), NumberForm::hexWord(line.address));
}

QString MarkCommands::nameLabel(int offset, const QString& name) {
    if (QString problem = placeProblem(offset, offset + 1, true); !problem.isEmpty()) {
        return problem;
    }
    const QString wanted = name.trimmed();
    const int address = addressOf(offset);
    if (!wanted.isEmpty()) {
        if (QString problem = LabelName::problem(wanted, quint16(address)); !problem.isEmpty()) {
            return problem;
        }
        const Mark* named = m_document.marks().labelNamed(wanted);
        if (named && named->start != address) {
            return QStringLiteral("The name %1 is the label at %2 already.")
                .arg(wanted, NumberForm::hexWord(named->start));
        }
        if (QString problem = insideInstruction(offset); !problem.isEmpty()) {
            return problem;
        }
    }
    AddinMarks marks = m_document.marks();
    marks.setLabel(address, wanted);
    m_document.changeMarks(marks, wanted.isEmpty() ? QStringLiteral("Remove label")
                                                   : QStringLiteral("Name label"));
    return {};
}

QString MarkCommands::comment(int offset, const QString& text) {
    if (QString problem = placeProblem(offset, offset + 1, true); !problem.isEmpty()) {
        return problem;
    }
    const QString wanted = text.trimmed();
    if (QString problem = MarksFile::textProblem(wanted); !problem.isEmpty()) {
        return problem;
    }
    AddinMarks marks = m_document.marks();
    marks.setComment(addressOf(offset), wanted);
    m_document.changeMarks(marks, wanted.isEmpty() ? QStringLiteral("Remove comment")
                                                   : QStringLiteral("Comment"));
    return {};
}

QString MarkCommands::addBookmark(ByteRange range, const QString& note) {
    if (QString problem = placeProblem(range.start, range.end(), false); !problem.isEmpty()) {
        return problem;
    }
    const QString wanted = note.trimmed();
    if (QString problem = MarksFile::textProblem(wanted); !problem.isEmpty()) {
        return problem;
    }
    AddinMarks marks = m_document.marks();
    marks.setBookmark(addressOf(range.start), addressOf(range.end()), wanted);
    m_document.changeMarks(marks, QStringLiteral("Bookmark"));
    return {};
}

QString MarkCommands::removeBookmark(ByteRange range) {
    if (QString problem = placeProblem(range.start, range.end(), false); !problem.isEmpty()) {
        return problem;
    }
    AddinMarks marks = m_document.marks();
    if (!marks.removeBookmark(addressOf(range.start), addressOf(range.end()))) {
        return QStringLiteral("There is no bookmark of the selection.");
    }
    m_document.changeMarks(marks, QStringLiteral("Remove bookmark"));
    return {};
}

QString MarkCommands::labelAt(int offset) const {
    const Mark* mark = m_document.marks().find(Mark::Type::Label, addressOf(offset));
    return mark ? mark->text : QString();
}

QString MarkCommands::commentAt(int offset) const {
    const Mark* mark = m_document.marks().find(Mark::Type::Comment, addressOf(offset));
    return mark ? mark->text : QString();
}

QString MarkCommands::bookmarkAt(ByteRange range) const {
    const Mark* mark = m_document.marks().find(Mark::Type::Bookmark, addressOf(range.start),
                                               addressOf(range.end()));
    return mark ? mark->text : QString();
}

std::optional<QString> MarkCommands::ask(const QString& caption, const QString& label,
                                         const QString& text) {
    return m_prompts.askText({caption, label, text});
}

QString MarkCommands::askLabel(int offset) {
    if (QString problem = placeProblem(offset, offset + 1, true); !problem.isEmpty()) {
        return problem;
    }
    const auto name = ask(QStringLiteral("Name label"),
                          QStringLiteral("The label at %1 (empty for none):")
                              .arg(NumberForm::hexWord(addressOf(offset))),
                          labelAt(offset));
    return name ? nameLabel(offset, *name) : QString();
}

QString MarkCommands::askComment(int offset) {
    if (QString problem = placeProblem(offset, offset + 1, true); !problem.isEmpty()) {
        return problem;
    }
    const auto text = ask(QStringLiteral("Comment"),
                          QStringLiteral("The comment at %1 (empty for none):")
                              .arg(NumberForm::hexWord(addressOf(offset))),
                          commentAt(offset));
    return text ? comment(offset, *text) : QString();
}

QString MarkCommands::askBookmark(ByteRange range) {
    if (QString problem = placeProblem(range.start, range.end(), false); !problem.isEmpty()) {
        return problem;
    }
    const auto note = ask(QStringLiteral("Bookmark"),
                          QStringLiteral("A note for the bookmark of %1 to %2:")
                              .arg(NumberForm::hexWord(addressOf(range.start)),
                                   NumberForm::hexWord(addressOf(range.end() - 1))),
                          bookmarkAt(range));
    return note ? addBookmark(range, *note) : QString();
}
