// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"
#include "CodeKind.h"

#include <QString>

#include <optional>

class AddinDocument;
class Prompts;

// What the author marks on the loaded add-in, from the listing or the dump: the kind of a
// range, back to the analysis, the name of a label, a comment, a bookmark. Ranges and places
// are file offsets, as the selection gives them. Each change is one step on the document's
// undo stack; each command returns why it changed nothing, as a sentence, and an empty text
// when it was done (or there was nothing to change). The ask...() commands ask for the text
// through Prompts first, offering what is there now; cancelled, they do nothing.
class MarkCommands {
public:
    MarkCommands(Prompts& prompts, AddinDocument& document);

    QString setKind(ByteRange range, CodeKind kind);
    // The kinds marked in `range` are taken away: the analysis says what the bytes are.
    QString backToAnalysis(ByteRange range);
    // An empty name takes the label away.
    QString nameLabel(int offset, const QString& name);
    // An empty text takes the comment away.
    QString comment(int offset, const QString& text);
    // A bookmark of `range`, or a new note for the bookmark of it.
    QString addBookmark(ByteRange range, const QString& note);
    QString removeBookmark(ByteRange range);

    QString askLabel(int offset);
    QString askComment(int offset);
    QString askBookmark(ByteRange range);

    // What is there now: the name the author gave the label at `offset`, the comment, the
    // note of the bookmark of `range`; empty for none.
    QString labelAt(int offset) const;
    QString commentAt(int offset) const;
    QString bookmarkAt(ByteRange range) const;

    // The undo captions: "Mark as text", "Back to the analysis", ...
    static QString kindCaption(CodeKind kind);

private:
    // Why the document cannot be marked at [start, end); `code`: only the code can.
    QString placeProblem(int start, int end, bool code) const;
    int addressOf(int offset) const;
    // Why a label cannot go at `offset`, in the middle of an instruction; empty when it can.
    QString insideInstruction(int offset) const;
    std::optional<QString> ask(const QString& caption, const QString& label, const QString& text);

    Prompts& m_prompts;
    AddinDocument& m_document;
};
