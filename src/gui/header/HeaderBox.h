// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NumberDisplay.h"

#include <QLineEdit>

#include <optional>

// A header field box: read-only in the window's background colour while locked, white and
// editable while unlocked. A field box keeps the text its edit began with; a number box shows
// a value and switches it between hexadecimal and decimal on a click.
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

    // How many characters the field holds in the image. 0 means there is nothing to patch:
    // the box then takes no typing even while unlocked.
    int fieldLength() const { return m_fieldLength; }
    // Shows a field's text as the image holds it; it is also where an edit starts from.
    void showField(const QString& text, int length);

    // Makes this a number box that shows its values in `form`, hexadecimal to begin with.
    void setNumberForm(NumberDisplay::Form form);
    NumberForm::Base base() const { return m_number ? m_number->base() : NumberForm::Base::Hex; }
    void showNumber(int value);
    // The "0" of a box that a header did not fill.
    void showZero();
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
    void showNumberText();

    bool m_locked = true;
    int m_fieldLength = 0;
    QString m_oldText;
    std::optional<NumberDisplay> m_number;
    bool m_toggles = false;
    bool m_releaseEndsDoubleClick = false;
};
