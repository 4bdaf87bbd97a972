// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinHeader.h"
#include "AddinImage.h"
#include "AddinMarks.h"
#include "ByteEditCommand.h"
#include "ByteRange.h"
#include "ChangedBytes.h"
#include "HeaderPatch.h"
#include "IconPatch.h"

#include <QObject>
#include <QUndoStack>

// The loaded add-in: its image and path, whether it holds unsaved changes, and the header
// parsed from it. The one owner of that state; the window's views show it and send it
// commands. Bytes change in one place, replace(), each change a step on the undo stack; every
// change, undone or done again too, re-parses the header before it is announced. The image's
// length never changes by editing: code addresses are fixed. The author's marks belong to the
// add-in too: each change of them is a step on the same stack and counts as a change, and
// saving writes them beside the add-in (MarksBeside).
class AddinDocument : public QObject {
    Q_OBJECT

public:
    enum class Field { Name, Description };
    // How the views show a change: afresh from the dump's first line, as Open and a confirmed
    // patch of the name, description or icon do, or by repainting the changed bytes in place.
    enum class Redraw { Afresh, InPlace };
    struct ByteChange {
        ByteRange range; // file offsets
        Redraw redraw = Redraw::InPlace;
        bool headSizeChanged = false;
    };

    explicit AddinDocument(QObject* parent = nullptr);

    const AddinImage& image() const { return m_image; }
    const QString& path() const { return m_image.path(); }
    const AddinHeader& header() const { return m_header; }
    bool isLoaded() const { return m_image.isLoaded(); }
    // Changed since it was opened or last saved; taking every change back leaves it changed,
    // so that closing still asks. A new add-in is changed until its first save.
    bool isPatched() const { return m_patched; }
    // The bytes whose value differs from what the last Open, Save or Save As left (file
    // offsets, in order, each run as long as it goes): a change taken back no longer counts
    // here. None for a new add-in until it has a file.
    const QList<ByteRange>& changedRuns() const { return m_changedBytes.runs(); }
    // A class text was read: the header can be shown, its numbers toggled and its fields
    // edited.
    bool isParsed() const;
    // A loaded add-in (class type ADDIN) has an icon to show, whole or cut short.
    bool hasIcon() const;
    // A loaded add-in whose header is complete: only that says where its code starts, so only
    // its code can be listed and its icon replaced.
    bool isCompleteAddin() const;
    // How many characters a patch of `field` may write; 0 when it can take none.
    int patchableLength(Field field) const;

    QUndoStack& undoStack() { return m_undo; }

    // The author's marks (placed when they were read), by code address.
    const AddinMarks& marks() const { return m_marks; }
    // The file offset of the first code byte, which code address $8000 stands for: the header's
    // size, or while an edit leaves the header incomplete the last size it had.
    int codeStart() const { return m_codeStart; }
    // Puts `marks` in place of the marks as one step named `caption` ("Name label"). False,
    // changing nothing, when they are the marks already.
    bool changeMarks(const AddinMarks& marks, const QString& caption);
    // The marks file beside the add-in was not read (a bad line; or the add-in has no complete
    // header): it is not replaced unless save() is told so, nor removed. Why it was not read;
    // empty when it was, or there is none.
    const QString& unreadMarksProblem() const { return m_unreadMarks.problem; }
    // Whether saving to `path` meets that unread marks file with marks to write, so that the
    // user must agree first.
    bool wouldReplaceUnreadMarks(const QString& path) const;

    // Takes a freshly read image and the marks read beside it; whatever was loaded before,
    // patched or not, is gone, and so are the steps to undo. `unreadMarksProblem`: why a marks
    // file beside it was not read (see unreadMarksProblem()).
    void load(AddinImage image, AddinMarks marks = {}, const QString& unreadMarksProblem = {});
    // Takes a new image that has no file yet: changed from the start, so that closing or
    // opening another file asks, and saved only to a path chosen for it.
    void create(QByteArray bytes);
    // Writes `bytes` over the image from file offset `offset` as one step of the kind given.
    // False, changing nothing, unless the range lies inside the image.
    bool replace(int offset, const QByteArray& bytes, ByteEditCommand::Kind kind);
    // Writes `text` over the field in place. Nothing changes unless the outcome is Written.
    HeaderPatch patch(Field field, const QString& text);
    // Writes the 160 icon bytes over the header's icon in place. Nothing changes unless the
    // outcome is Written.
    IconPatch patchIcon(const QByteArray& icon);
    // The user agreed to lose the unsaved changes; the image stays until the next load.
    void discardChanges();

    // What save() does with a marks file beside the add-in that was not read.
    enum class UnreadMarks { Keep, Replace };

    // Writes the image to its own path, and the marks beside it (none: a marks file there is
    // removed), all or nothing; on success it holds no unsaved changes, unless marks are left
    // unwritten because an unread marks file is kept. A failure carries the system's reason.
    AddinImage::WriteResult save(UnreadMarks unread = UnreadMarks::Keep);
    // Takes `path` as the image's path first, so that a failed write is retried there by
    // the next save, then writes as save() does.
    AddinImage::WriteResult saveAs(const QString& path, UnreadMarks unread = UnreadMarks::Keep);

signals:
    // A new image replaced the old one.
    void replaced();
    // Bytes of the image changed in place: a step done, undone or done again.
    void changed(const AddinDocument::ByteChange& change);
    // The path the next save writes changed.
    void pathChanged(const QString& path);
    // isPatched() changed: a first change, Open, Save, Save As, a new add-in, the changes
    // discarded.
    void patchedChanged(bool patched);
    // changedRuns() changed.
    void changedRunsChanged();
    // marks() changed: a step done, undone or done again.
    void marksChanged();

private:
    friend class ByteEditCommand;
    friend class MarkEditCommand;
    // The marks steps' own change: the marks in place, the change announced.
    void putMarks(const AddinMarks& marks);
    // The steps' own write: the bytes, the header parsed again, the change announced.
    void write(int offset, const QByteArray& bytes, Redraw redraw);
    // Takes `image` in place of the one loaded; a new add-in is changed from the start.
    void take(AddinImage image, bool isNew, AddinMarks marks);
    void noteCodeStart();
    void setPatched(bool patched);
    // What the file holds now is the image: nothing differs from it any more; the document
    // is unchanged unless `marksUnsaved`.
    void markSaved(bool marksUnsaved);
    const std::optional<HeaderField>& place(Field field) const;

    AddinImage m_image;
    AddinHeader m_header;
    QUndoStack m_undo;
    bool m_patched = false;
    ChangedBytes m_changedBytes;
    AddinMarks m_marks;
    int m_codeStart = 0;
    struct {
        QString path; // the marks file left unread
        QString problem;
    } m_unreadMarks;
};
