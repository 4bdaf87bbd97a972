#pragma once

#include <QFrame>

class HeaderBox;
class IconBox;
class QCheckBox;

// The header area below the dump: class, name, description, the two words, the icon, the
// "Strip header" check box and the three derived numbers, each where the design puts it.
class HeaderArea : public QFrame {
    Q_OBJECT

public:
    explicit HeaderArea(QWidget* parent = nullptr);

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

private:
    QFont captionFont() const;
    HeaderBox* addBox(QWidget* frame, const QString& name, const QString& toolTip,
                      const QRect& place);
    void addCaption(QWidget* frame, const QString& name, const QString& text, const HeaderBox* box,
                    int top);
};
