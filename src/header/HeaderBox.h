#pragma once

#include <QLineEdit>

// A header field box: read-only in the window's background colour while locked, white and
// editable while unlocked. Reports focus, clicks and double-clicks so the window can patch
// and toggle, and carries its display mode in the "Tag" property.
class HeaderBox : public QLineEdit {
    Q_OBJECT

public:
    explicit HeaderBox(const QString& objectName, const QString& toolTip,
                       QWidget* parent = nullptr);

    bool isLocked() const { return m_locked; }
    void setLocked(bool locked);

    // How many characters the field holds in the image. 0 means there is nothing to patch:
    // the box then takes no typing even while unlocked.
    int fieldLength() const { return m_fieldLength; }
    void setFieldLength(int length);

    QString tag() const { return property("Tag").toString(); }
    void setTag(const QString& tag) { setProperty("Tag", tag); }

signals:
    void focusGained();
    void focusLost();
    void clicked();
    void doubleClicked();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void applyLock();

    bool m_locked = true;
    int m_fieldLength = 0;
};
