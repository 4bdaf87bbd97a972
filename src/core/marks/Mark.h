// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeKind.h"

#include <QString>
#include <QStringList>

// One thing an author said about an add-in: the kind of a range of its code, the name of the
// label at an address, a one-line comment at an address, or a bookmark (a range with a note).
// Addresses are where the bytes run, the first code byte at $8000, so that a mark stays with
// its code when the header changes length.
struct Mark {
    // In the order a marks file lists the marks of one address.
    enum class Type : quint8 { Kind, Label, Comment, Bookmark };
    // How many bytes from its address a label's or a comment's digest covers: the longest
    // instruction.
    static constexpr int kPointSpan = 4;

    Type type = Type::Kind;
    CodeKind kind = CodeKind::Code; // of a Kind mark
    int start = 0;                  // the address of its first byte
    int end = 0;                    // the address after its last byte; start + 1 for a point
    QString text;                   // the label's name, the comment, the bookmark's note
    // What the marks file recorded of its bytes (8 hex digits); empty for a mark made since it
    // was read, or one the file gave with "-" (for any bytes).
    QString digest;
    // Its bytes are those it was made on, so it applies; a mark whose bytes changed is kept
    // as the file had it, and applies nowhere.
    bool placed = true;
    QStringList remarks; // the file's comment lines ("# ...") before it, kept with it

    static Mark ofKind(CodeKind kind, int start, int end) {
        Mark mark;
        mark.kind = kind;
        mark.start = start;
        mark.end = end;
        return mark;
    }
    // A label or a comment.
    static Mark point(Type type, int address, QString text) {
        Mark mark;
        mark.type = type;
        mark.start = address;
        mark.end = address + 1;
        mark.text = std::move(text);
        return mark;
    }
    static Mark bookmark(int start, int end, QString note) {
        Mark mark;
        mark.type = Type::Bookmark;
        mark.start = start;
        mark.end = end;
        mark.text = std::move(note);
        return mark;
    }

    bool isRange() const { return type == Type::Kind || type == Type::Bookmark; }
    // The address after the bytes its digest covers.
    int spanEnd() const { return isRange() ? end : start + kPointSpan; }
    bool operator==(const Mark&) const = default;

    // "text", "label", "comment", "bookmark": the first word of its line in a marks file.
    QString word() const;
};
