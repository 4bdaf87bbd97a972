// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinDocument.h"

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

void AddinDocument::load(AddinImage image) {
    // A new add-in has no path yet, and says so, whatever was open before.
    const bool newPath = image.path() != m_image.path() || image.path().isEmpty();
    m_undo.clear();
    m_image = std::move(image);
    m_header = AddinHeader::parse(m_image.bytes());
    m_patched = false;
    emit replaced();
    if (newPath) {
        emit pathChanged(m_image.path());
    }
}

void AddinDocument::create(QByteArray bytes) {
    load(AddinImage::unsaved(std::move(bytes)));
    m_patched = true;
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
    m_patched = true;
    emit changed({{offset, int(bytes.size())}, redraw, m_header.headSize != oldHeadSize});
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
    m_patched = false;
}

AddinImage::WriteResult AddinDocument::save() {
    if (!isLoaded() || path().isEmpty()) {
        return {};
    }
    const AddinImage::WriteResult result = m_image.saveTo(m_image.path());
    if (result.written()) {
        m_patched = false;
    }
    return result;
}

AddinImage::WriteResult AddinDocument::saveAs(const QString& path) {
    if (!isLoaded() || path.isEmpty()) {
        return {};
    }
    if (path != m_image.path()) {
        m_image.setPath(path);
        emit pathChanged(path);
    }
    return save();
}
