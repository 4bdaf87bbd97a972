// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeMarks.h"
#include "Mark.h"

#include <QByteArrayView>
#include <QList>

#include <optional>

// The marks of one add-in, kept in the order a marks file lists them (by address, then kind,
// label, comment, bookmark), with the rules that keep them sound: kinds never overlap, an
// address has at most one label and one comment, a name is given once, a range has one
// bookmark. Each edit says whether it changed anything.
class AddinMarks {
public:
    // Where the first code byte runs: a code address $8000 + n is the byte n after the header.
    static constexpr int kCodeAddress = 0x8000;

    static int offsetOf(int address, int codeStart) { return codeStart + address - kCodeAddress; }
    static int addressOf(int offset, int codeStart) { return kCodeAddress + offset - codeStart; }

    const QList<Mark>& marks() const { return m_marks; }
    bool isEmpty() const { return m_marks.isEmpty(); }
    int unplacedCount() const;
    // The file's comment lines after its last mark.
    const QStringList& closingRemarks() const { return m_closingRemarks; }
    void setClosingRemarks(const QStringList& remarks) { m_closingRemarks = remarks; }

    // The kind of [start, end), or with no kind the analysis's kind again: the kinds marked
    // there before are cut back (or dropped, when their bytes had changed).
    bool setKind(int start, int end, std::optional<CodeKind> kind);
    // The label at `address` named `name`; an empty name takes the label away.
    bool setLabel(int address, const QString& name);
    // The comment at `address`; an empty text takes it away.
    bool setComment(int address, const QString& text);
    // A bookmark of [start, end) with `note`, in place of the one there; nothing takes it
    // away.
    bool setBookmark(int start, int end, const QString& note);
    bool removeBookmark(int start, int end);
    // Adds a mark as a file gives it, keeping the order.
    void add(Mark mark);

    // The label or comment at `address`, or the bookmark of [address, end).
    const Mark* find(Mark::Type type, int address, int end = -1) const;
    const Mark* labelNamed(const QString& name) const;

    // Which marks still apply to `image`, whose first code byte is at offset `codeStart`: each
    // whose bytes have the digest it records. The number that do not.
    int place(QByteArrayView image, int codeStart);
    // 8 hex digits of the SHA-256 of the bytes `mark` covers; empty when they lie outside
    // `image`.
    static QString digestOf(QByteArrayView image, int codeStart, const Mark& mark);
    // The marks that apply, by file offset, for the code map: those that lie in the code
    // (from `codeStart` to `imageSize`).
    CodeMarks codeMarks(int codeStart, int imageSize) const;

    bool operator==(const AddinMarks&) const = default;

private:
    bool setPoint(Mark::Type type, int address, const QString& text);
    void insert(Mark mark);
    // Joins kinds of one kind that meet, so that a range marked in pieces is one line.
    void joinKinds();

    QList<Mark> m_marks;
    QStringList m_closingRemarks;
};
