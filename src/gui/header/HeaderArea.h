// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

struct AddinHeader;
class HeaderBox;
class IconBox;
class QCheckBox;

// The header area below the dump: class, name, description, the two words, the icon, the
// "Strip header" check box and the three derived numbers, each where the design puts it.
// It shows a parsed header; the name and description boxes unlock on a double-click once a
// class has been read.
class HeaderArea : public QFrame {
    Q_OBJECT

public:
    explicit HeaderArea(QWidget* parent = nullptr);

    // Clears every box and the icon, then shows what `header` holds; the numbers in each box's
    // own display mode.
    void show(const AddinHeader& header);
    // The boxes as before any file: empty, or "0" for the numbers.
    void clear();
    // The name and description boxes.
    QList<HeaderBox*> fieldBoxes() const;

    HeaderBox* Atype;
    HeaderBox* Aname;
    HeaderBox* Adesc;
    HeaderBox* Aw1;
    HeaderBox* Aw2;
    HeaderBox* Ahead;
    HeaderBox* Aorg;
    HeaderBox* Acode;
    IconBox* Picture1;
    QCheckBox* chkCode;

signals:
    // The focus moved from a name or description box being edited to another control of
    // the window.
    void fieldLeft(HeaderBox* box);

private:
    void focusMoved(QWidget* old, QWidget* now);
    void setParsed(bool parsed);
    HeaderBox* addBox(QWidget* frame, const QString& name, const QString& toolTip,
                      const QRect& place);
    void addCaption(QWidget* frame, const QString& name, const QString& text, HeaderBox* box,
                    int top);

    bool m_parsed = false;
    QFont m_captionFont;
};
