// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinHeader.h"
#include "AddinImage.h"
#include "HeaderPatch.h"
#include "IconPatch.h"

#include <QObject>

// The loaded add-in: its image and path, whether it holds unsaved changes, and the header
// parsed from it. The one owner of that state; the window's views show it and send it
// commands. Every change re-parses the header before it is announced.
class AddinDocument : public QObject {
    Q_OBJECT

public:
    enum class Field { Name, Description };

    explicit AddinDocument(QObject* parent = nullptr);

    const AddinImage& image() const { return m_image; }
    const QString& path() const { return m_image.path(); }
    const AddinHeader& header() const { return m_header; }
    bool isLoaded() const { return m_image.isLoaded(); }
    bool isPatched() const { return m_patched; }
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

    // Takes a freshly read image; whatever was loaded before, patched or not, is gone.
    void load(AddinImage image);
    // Writes `text` over the field in place. Nothing changes unless the outcome is Written.
    HeaderPatch patch(Field field, const QString& text);
    // Writes the 160 icon bytes over the header's icon in place. Nothing changes unless the
    // outcome is Written.
    IconPatch patchIcon(const QByteArray& icon);
    // The user agreed to lose the unsaved changes; the image stays until the next load.
    void discardChanges();

    // Writes the image to its own path; on success it holds no unsaved changes. A failure
    // carries the system's reason.
    AddinImage::WriteResult save();
    // Takes `path` as the image's path first, so that a failed write is retried there by
    // the next save, then writes as save() does.
    AddinImage::WriteResult saveAs(const QString& path);

signals:
    // A new image replaced the old one.
    void replaced();
    // Bytes of the image changed in place.
    void patched();
    // The path the next save writes changed.
    void pathChanged(const QString& path);

private:
    const std::optional<HeaderField>& place(Field field) const;

    AddinImage m_image;
    AddinHeader m_header;
    bool m_patched = false;
};
