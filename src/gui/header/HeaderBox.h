// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

// A header field box: read-only in the window's background colour while locked, white and
// editable while unlocked. A field box keeps the text its edit began with; a number box
// switches itself between hexadecimal and decimal on a click, its display mode kept in the
// "Tag" property.
class HeaderBox : public QLineEdit {
    Q_OBJECT

public:
    explicit HeaderBox(const QString& objectName, const QString& toolTip,
                       QWidget* parent = nullptr);

    bool isLocked() const { return m_locked; }
    void setLocked(bool locked);
    // A double-click on a field box: unlocks it for typing, or locks it again. Either way
    // the text on show becomes the text the edit is measured against.
    void toggleLock();
    // Locks the box; true when its text differs from the text its edit began with.
    bool endEdit();
    // Puts back the text the edit began with.
    void restoreOldText() { setText(m_oldText); }
    const QString& oldText() const { return m_oldText; }

    // How many characters the field holds in the image. 0 means there is nothing to patch:
    // the box then takes no typing even while unlocked.
    int fieldLength() const { return m_fieldLength; }
    void setFieldLength(int length);
    // Shows a field's text as the image holds it; it is also where an edit starts from.
    void showField(const QString& text, int length);

    QString tag() const { return property("Tag").toString(); }
    void setTag(const QString& tag) { setProperty("Tag", tag); }
    // Whether a click switches the number on show between hexadecimal and decimal.
    void setTogglesOnClick(bool toggles) { m_toggles = toggles; }

signals:
    void doubleClicked();

protected:
    bool event(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void applyLock();
    void toggleNumber();

    bool m_locked = true;
    int m_fieldLength = 0;
    QString m_oldText;
    bool m_toggles = false;
    bool m_releaseEndsDoubleClick = false;
};
