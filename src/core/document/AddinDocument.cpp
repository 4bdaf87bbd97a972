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

bool AddinDocument::save() {
    if (!isLoaded() || !m_image.saveTo(m_image.path())) {
        return false;
    }
    m_patched = false;
    return true;
}

bool AddinDocument::saveAs(const QString& path) {
    if (!isLoaded() || path.isEmpty()) {
        return false;
    }
    if (path != m_image.path()) {
        m_image.setPath(path);
        emit pathChanged(path);
    }
    return save();
}
