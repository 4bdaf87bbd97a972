// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinDocument.h"

#include <QFrame>

#include <optional>

class HeaderBox;
class IconBox;
class QCheckBox;

// The header area below the dump: class, name, description, the two words, the icon, the
// "Strip header" check box and the three derived numbers, each where the design puts it.
// It shows the document's header and tells the window what the user asked for; the name and
// description boxes unlock on a double-click once a class has been read.
class HeaderArea : public QFrame {
    Q_OBJECT

public:
    explicit HeaderArea(QWidget* parent = nullptr);

    // Clears every box and the icon, then shows what the document's header holds; the numbers
    // in each box's own base.
    void show(const AddinDocument& document);
    // Shows one field's text as the document holds it, ending any edit of its box.
    void showField(AddinDocument::Field field, const AddinDocument& document);
    // The boxes as before any file: empty, or "0" for the numbers.
    void clear();
    // Ticks "Strip header" as `strip`; the box can be used while `enabled`.
    void showStripHeader(bool strip, bool enabled);
    // Ends an edit of `field`'s box, locking it; its text when that differs from the text the
    // edit began with.
    std::optional<QString> endEdit(AddinDocument::Field field);

signals:
    // The focus moved from the box of `field`, while it was being edited, to another control
    // of the window.
    void fieldLeft(AddinDocument::Field field);
    // The user ticked or cleared "Strip header" (mouse, keys or a screen reader).
    void stripHeaderToggled(bool strip);
    // A double-click on the icon.
    void iconCodeRequested();
    // "Replace icon..." in the icon's context menu.
    void iconReplaceRequested();
    // One local file was dropped on the icon.
    void fileDroppedOnIcon(const QString& path);

private:
    HeaderBox* box(AddinDocument::Field field) const;
    void fillField(AddinDocument::Field field, const AddinDocument& document);
    void focusMoved(QWidget* old, QWidget* now);
    void setParsed(bool parsed);
    HeaderBox* addBox(QWidget* frame, const QString& name, const QString& toolTip,
                      const QRect& place);
    void addCaption(QWidget* frame, const QString& name, const QString& text, HeaderBox* box,
                    int top);

    HeaderBox* m_type;
    HeaderBox* m_name;
    HeaderBox* m_description;
    HeaderBox* m_word1;
    HeaderBox* m_word2;
    HeaderBox* m_headSize;
    HeaderBox* m_org;
    HeaderBox* m_codeSize;
    IconBox* m_icon;
    QCheckBox* m_stripHeader;
    bool m_parsed = false;
    QFont m_captionFont;
};
