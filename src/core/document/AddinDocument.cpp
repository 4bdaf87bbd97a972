// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinDocument.h"

#include "MarkEditCommand.h"
#include "MarksBeside.h"
#include "MarksFile.h"

// The undo stack is a child, so that whoever stops listening to the document's children stops
// listening to it too before it goes.
AddinDocument::AddinDocument(QObject* parent) : QObject(parent), m_undo(this) {}

bool AddinDocument::isParsed() const {
    return m_header.classLine && !m_header.classLine->bytes.isEmpty();
}

bool AddinDocument::hasIcon() const {
    return isLoaded() && m_header.isAddin();
}

bool AddinDocument::isCompleteAddin() const {
    return hasIcon() && m_header.complete();
}

const std::optional<HeaderField>& AddinDocument::place(Field field) const {
    return field == Field::Name ? m_header.name : m_header.description;
}

int AddinDocument::patchableLength(Field field) const {
    const std::optional<HeaderField>& read = place(field);
    return isLoaded() && read ? read->patchableLength() : 0;
}

void AddinDocument::load(AddinImage image, AddinMarks marks, const QString& unreadMarksProblem) {
    m_unreadMarks = {unreadMarksProblem.isEmpty() ? QString() : MarksFile::besidePath(image.path()),
                     unreadMarksProblem};
    take(std::move(image), false, std::move(marks));
}

void AddinDocument::create(QByteArray bytes) {
    m_unreadMarks = {};
    take(AddinImage::unsaved(std::move(bytes)), true, {});
}

void AddinDocument::noteCodeStart() {
    if (m_header.complete() && m_header.isAddin()) {
        m_codeStart = m_header.headSize;
    }
}

void AddinDocument::take(AddinImage image, bool isNew, AddinMarks marks) {
    // A new add-in has no path yet, and says so, whatever was open before.
    const bool newPath = image.path() != m_image.path() || image.path().isEmpty();
    const bool hadChangedRuns = !changedRuns().isEmpty();
    m_undo.clear();
    m_image = std::move(image);
    m_header = AddinHeader::parse(m_image.bytes());
    m_codeStart = 0;
    noteCodeStart();
    const bool hadMarks = !m_marks.isEmpty();
    m_marks = std::move(marks);
    if (isNew) {
        m_changedBytes.forget();
    } else {
        m_changedBytes.reset(m_image.bytes());
    }
    const bool wasPatched = m_patched;
    m_patched = isNew;
    emit replaced();
    if (hadMarks || !m_marks.isEmpty()) {
        emit marksChanged();
    }
    if (newPath) {
        emit pathChanged(m_image.path());
    }
    if (hadChangedRuns) {
        emit changedRunsChanged();
    }
    if (m_patched != wasPatched) {
        emit patchedChanged(m_patched);
    }
}

void AddinDocument::setPatched(bool patched) {
    if (patched != m_patched) {
        m_patched = patched;
        emit patchedChanged(patched);
    }
}

bool AddinDocument::replace(int offset, const QByteArray& bytes, ByteEditCommand::Kind kind) {
    const QByteArray& image = m_image.bytes();
    if (!isLoaded() || offset < 0 || bytes.isEmpty() || offset + bytes.size() > image.size()) {
        return false;
    }
    m_undo.push(new ByteEditCommand(*this, offset, image.mid(offset, bytes.size()), bytes, kind));
    return true;
}

void AddinDocument::write(int offset, const QByteArray& bytes, Redraw redraw) {
    m_image.bytes().replace(offset, bytes.size(), bytes);
    const int oldHeadSize = m_header.headSize;
    m_header = AddinHeader::parse(m_image.bytes());
    noteCodeStart();
    const ByteRange range{offset, int(bytes.size())};
    const bool runsChanged = m_changedBytes.update(m_image.bytes(), range);
    emit changed({range, redraw, m_header.headSize != oldHeadSize});
    if (runsChanged) {
        emit changedRunsChanged();
    }
    setPatched(true);
}

HeaderPatch AddinDocument::patch(Field field, const QString& text) {
    if (!isLoaded() || !place(field)) {
        return {HeaderPatch::Outcome::OutsideImage, {}};
    }
    // The patch is worked out on a copy; the field's bytes then go in as one step.
    const HeaderField& read = *place(field);
    QByteArray patched = m_image.bytes();
    HeaderPatch result = HeaderPatch::apply(patched, read.start, patchableLength(field), text);
    if (result.written()) {
        const int first = read.start - 1;
        replace(first, patched.mid(first, patchableLength(field)),
                field == Field::Name ? ByteEditCommand::Kind::PatchName
                                     : ByteEditCommand::Kind::PatchDescription);
    }
    return result;
}

IconPatch AddinDocument::patchIcon(const QByteArray& icon) {
    QByteArray patched = m_image.bytes();
    IconPatch result = IconPatch::apply(patched, icon);
    if (result.written()) {
        const int first = m_header.iconStart - 1;
        replace(first, patched.mid(first, AddinHeader::kIconBytes),
                ByteEditCommand::Kind::PatchIcon);
    }
    return result;
}

void AddinDocument::discardChanges() {
    setPatched(false);
}

void AddinDocument::markSaved(bool marksUnsaved) {
    const bool hadChangedRuns = !changedRuns().isEmpty();
    m_changedBytes.reset(m_image.bytes());
    if (hadChangedRuns) {
        emit changedRunsChanged();
    }
    setPatched(marksUnsaved);
}

bool AddinDocument::changeMarks(const AddinMarks& marks, const QString& caption) {
    if (!isLoaded() || marks == m_marks) {
        return false;
    }
    m_undo.push(new MarkEditCommand(*this, m_marks, marks, caption));
    return true;
}

void AddinDocument::putMarks(const AddinMarks& marks) {
    m_marks = marks;
    emit marksChanged();
    setPatched(true);
}

bool AddinDocument::wouldReplaceUnreadMarks(const QString& path) const {
    return !m_marks.isEmpty() && !m_unreadMarks.path.isEmpty() &&
           MarksFile::besidePath(path) == m_unreadMarks.path;
}

AddinImage::WriteResult AddinDocument::save(UnreadMarks unread) {
    if (!isLoaded() || path().isEmpty()) {
        return {};
    }
    // An unread marks file is replaced only when the user agreed, and never removed.
    const bool unreadThere = MarksFile::besidePath(path()) == m_unreadMarks.path;
    const bool keep = unreadThere && (unread == UnreadMarks::Keep || m_marks.isEmpty());
    const std::optional<QByteArray> marks =
        keep ? std::nullopt
             : std::optional(MarksFile::write(m_marks, m_image.bytes(), m_codeStart));
    const AddinImage::WriteResult result = MarksBeside::save(path(), m_image.bytes(), marks);
    if (result.written()) {
        if (!keep && unreadThere) {
            m_unreadMarks = {};
        }
        // Marks that could not be written are still unsaved.
        markSaved(keep && !m_marks.isEmpty());
    }
    return result;
}

AddinImage::WriteResult AddinDocument::saveAs(const QString& path, UnreadMarks unread) {
    if (!isLoaded() || path.isEmpty()) {
        return {};
    }
    if (path != m_image.path()) {
        m_image.setPath(path);
        emit pathChanged(path);
    }
    return save(unread);
}
