// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinDocument.h"

AddinDocument::AddinDocument(QObject* parent) : QObject(parent) {}

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
    const bool newPath = image.path() != m_image.path();
    m_image = std::move(image);
    m_header = AddinHeader::parse(m_image.bytes());
    m_patched = false;
    emit replaced();
    if (newPath) {
        emit pathChanged(m_image.path());
    }
}

HeaderPatch AddinDocument::patch(Field field, const QString& text) {
    if (!isLoaded() || !place(field)) {
        return {HeaderPatch::Outcome::OutsideImage, {}};
    }
    HeaderPatch result =
        HeaderPatch::apply(m_image.bytes(), place(field)->start, patchableLength(field), text);
    if (result.written()) {
        m_header = AddinHeader::parse(m_image.bytes());
        m_patched = true;
        emit patched();
    }
    return result;
}

IconPatch AddinDocument::patchIcon(const QByteArray& icon) {
    IconPatch result = IconPatch::apply(m_image.bytes(), icon);
    if (result.written()) {
        m_header = AddinHeader::parse(m_image.bytes());
        m_patched = true;
        emit patched();
    }
    return result;
}

void AddinDocument::discardChanges() {
    m_patched = false;
}

AddinImage::WriteResult AddinDocument::save() {
    if (!isLoaded()) {
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
