// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteReadout.h"
#include "DumpState.h"

#include <QString>

class AddinDocument;
class Prompts;

// Editing what the dump shows: typing over bytes, Copy, Copy as hex, Paste over, Fill and
// Select all, and a value typed in the data inspector. Every change is one step on the
// document's undo stack; the caret and the selection move through the dump's state. The
// file's length never changes. A refusal changes nothing and comes back as one sentence for
// the status bar; an empty sentence means it was done.
class EditCommands {
public:
    using Pane = DumpState::Pane;

    EditCommands(Prompts& prompts, AddinDocument& document, DumpState& dump);

    // Text typed in `pane`: in the hex pane a hex digit over the caret's digit, in the ASCII
    // pane a character over the caret's byte, as its Windows-1252 code. With bytes selected,
    // typing starts at the first of them.
    QString type(Pane pane, const QString& text);
    // The selection as `pane` shows it: whole groups ("3A 00 80 ") in the hex pane, the
    // characters in the ASCII pane. Empty with nothing selected.
    QString copyText(Pane pane) const;
    // The selected bytes as hex digits, a space between two bytes: "3A 00 80". Pasted into
    // the hex pane, it gives back the same bytes.
    QString copyHex() const;
    // Writes the bytes `text` stands for over the bytes from the caret (or the selection's
    // start): hex digits into the hex pane (spaces and line breaks between bytes are passed
    // over), characters into the ASCII pane.
    QString paste(Pane pane, const QString& text);
    // The selected bytes themselves, which Copy puts on the clipboard beside the pane's text
    // (under kBytesMimeType), so that Paste over gives back exactly these bytes whichever pane
    // they were copied from: the ASCII pane shows a space as "_" and a control byte as ".".
    QByteArray copyBytes() const;
    QString pasteBytes(const QByteArray& bytes);
    static constexpr const char* kBytesMimeType = "application/x-mobrin-bytes";
    // Asks for one byte value and writes it over every selected byte.
    QString fill();
    void selectAll();
    // Writes `typed` as `value` at the first selected byte (the caret's without a selection), as
    // the data inspector's fields take it.
    QString setValue(ByteReadout::Value value, const QString& typed);

    bool hasSelection() const;

private:
    // Where typing, pasting and setting a value start.
    int startOffset() const;
    // Writes `bytes` from `offset` if they fit in what the dump shows; the sentence why not.
    QString write(int offset, const QByteArray& bytes, ByteEditCommand::Kind kind);

    Prompts& m_prompts;
    AddinDocument& m_document;
    DumpState& m_dump;
};
