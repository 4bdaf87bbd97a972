// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderArea.h"

#include "AddinHeader.h"
#include "HeaderBox.h"
#include "IconBox.h"
#include "NumberForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>

namespace {

QFrame* etchedFrame(QWidget* parent, const QString& name, const QRect& place) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(place);
    return frame;
}

// Each caption and the width its design gives it.
struct Caption {
    const char* text;
    int width;
};
constexpr Caption kCaptions[] = {
    {"Addin ORG", 54},    {"Header size", 56}, {"Aprox. code size", 78},
    {"Start of set", 51}, {"word 2", 32},      {"Description", 53},
    {"Name", 28},         {"Class", 25},
};
constexpr int kStripHeaderWidth = 77;
constexpr int kSmallestCaption = 6;
constexpr int kSlack = 2;

// The largest size up to `base`'s in which every caption, and the check box's text beside its
// indicator (`indicatorRoom` pixels), fits its designed width give or take two pixels: wide
// fonts get smaller.
QFont fittedCaptionFont(QFont base, int indicatorRoom) {
    // Quarter points, from the base size down.
    for (int quarters = int(base.pointSizeF() * 4); quarters > kSmallestCaption * 4; --quarters) {
        base.setPointSizeF(quarters / 4.0);
        const QFontMetrics metrics(base);
        bool fits = metrics.horizontalAdvance(QStringLiteral("Strip header")) <=
                    kStripHeaderWidth - indicatorRoom + kSlack;
        for (const Caption& caption : kCaptions) {
            fits = fits &&
                   metrics.horizontalAdvance(QLatin1String(caption.text)) <= caption.width + kSlack;
        }
        if (fits) {
            return base;
        }
    }
    base.setPointSizeF(kSmallestCaption);
    return base;
}

} // namespace

HeaderArea::HeaderArea(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Frame4"));
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    // The boxes are laid out for a small dialog font.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);

    QFrame* frame6 = etchedFrame(this, QStringLiteral("Frame6"), QRect(240, 0, 89, 86));
    QFrame* frame5 = etchedFrame(this, QStringLiteral("Frame5"), QRect(327, 0, 140, 86));

    Picture1 = new IconBox(frame6);
    Picture1->move(27, 14);

    chkCode = new QCheckBox(QStringLiteral("Strip header"), frame6);
    chkCode->setObjectName(QStringLiteral("chkCode"));
    chkCode->setToolTip(QStringLiteral("Strip/Show Header"));
    const int indicatorRoom =
        chkCode->sizeHint().width() - chkCode->fontMetrics().horizontalAdvance(chkCode->text());
    m_captionFont = fittedCaptionFont(font(), indicatorRoom);
    chkCode->setFont(m_captionFont);
    chkCode->setGeometry(5, 61, kStripHeaderWidth, 13);

    Aorg = addBox(frame5, QStringLiteral("Aorg"),
                  QStringLiteral("Code start address - Click to toggle HEX/Dec"),
                  QRect(86, 9, 52, 19));
    Ahead = addBox(frame5, QStringLiteral("Ahead"), QStringLiteral("Header size."),
                   QRect(86, 27, 52, 19));
    Acode = addBox(frame5, QStringLiteral("Acode"), QStringLiteral("Approximate code size."),
                   QRect(86, 45, 52, 19));
    addCaption(frame5, QStringLiteral("Label10"), QStringLiteral("Addin ORG"), Aorg, 12);
    addCaption(frame5, QStringLiteral("Label9"), QStringLiteral("Header size"), Ahead, 30);
    addCaption(frame5, QStringLiteral("Label8"), QStringLiteral("Aprox. code size"), Acode, 47);

    const QString wordTip = QStringLiteral("Unknown word!? - Click to toggle HEX/Dec");
    Aw1 = addBox(this, QStringLiteral("Aw1"), wordTip, QRect(60, 64, 63, 19));
    Aw2 = addBox(this, QStringLiteral("Aw2"), wordTip, QRect(175, 64, 63, 19));
    Adesc = addBox(this, QStringLiteral("Adesc"), QStringLiteral("AddIn description"),
                   QRect(60, 45, 178, 19));
    Aname =
        addBox(this, QStringLiteral("Aname"), QStringLiteral("AddIn name"), QRect(60, 27, 178, 19));
    Atype =
        addBox(this, QStringLiteral("Atype"), QStringLiteral("AddIn type"), QRect(60, 9, 178, 19));
    addCaption(this, QStringLiteral("Label7"), QStringLiteral("Start of set"), Aw1, 68);
    addCaption(this, QStringLiteral("Label6"), QStringLiteral("word 2"), Aw2, 68);
    addCaption(this, QStringLiteral("Label5"), QStringLiteral("Description"), Adesc, 47);
    addCaption(this, QStringLiteral("Label4"), QStringLiteral("Name"), Aname, 30);
    addCaption(this, QStringLiteral("Label3"), QStringLiteral("Class"), Atype, 12);

    for (HeaderBox* box : {Aorg, Aw1, Aw2}) {
        box->setTag(NumberForm::kHexTag);
    }
    for (HeaderBox* box : fieldBoxes()) {
        connect(box, &HeaderBox::doubleClicked, this, [this, box] {
            if (m_parsed) {
                box->toggleLock();
            }
        });
    }
    connect(qApp, &QApplication::focusChanged, this, &HeaderArea::focusMoved);

    // Keyboard order of the header area; the window puts the dump panes in front of it.
    Picture1->setFocusPolicy(Qt::TabFocus);
    setTabOrder(Atype, Aname);
    setTabOrder(Aname, Adesc);
    setTabOrder(Adesc, Aw2);
    setTabOrder(Aw2, Aw1);
    setTabOrder(Aw1, Acode);
    setTabOrder(Acode, Ahead);
    setTabOrder(Ahead, Aorg);
    setTabOrder(Aorg, Picture1);
    setTabOrder(Picture1, chkCode);
}

void HeaderArea::focusMoved(QWidget* /*old*/, QWidget* now) {
    // The menu bar, a menu, a context menu, a dialog or another program taking the focus
    // leave an edit going; any other control of this window ends it.
    if (!now || now->window() != window() || qobject_cast<QMenuBar*>(now)) {
        return;
    }
    for (HeaderBox* box : fieldBoxes()) {
        if (box != now && !box->isLocked()) {
            emit fieldLeft(box);
        }
    }
}

QList<HeaderBox*> HeaderArea::fieldBoxes() const {
    return {Aname, Adesc};
}

void HeaderArea::setParsed(bool parsed) {
    m_parsed = parsed;
    for (HeaderBox* box : {Aorg, Aw1, Aw2}) {
        box->setTogglesOnClick(parsed);
    }
}

void HeaderArea::clear() {
    Atype->clear();
    for (HeaderBox* field : fieldBoxes()) {
        field->showField(QString(), 0);
    }
    for (HeaderBox* number : {Aw1, Aw2, Ahead, Aorg, Acode}) {
        number->setText(QStringLiteral("0"));
    }
    Picture1->clear();
    setParsed(false);
}

void HeaderArea::show(const AddinHeader& header) {
    clear();
    if (header.classLine) {
        Atype->setText(header.classLine->text());
    }
    // A field without its terminator has no known length: it can never be patched.
    if (header.name) {
        Aname->showField(header.name->text(), header.name->terminated ? header.name->length() : 0);
    }
    if (header.description) {
        Adesc->showField(header.description->text(),
                         header.description->terminated ? header.description->length() : 0);
    }
    if (header.word1) {
        Aw1->setText(NumberForm::wordByTag(*header.word1, Aw1->tag()));
    }
    if (header.word2) {
        Aw2->setText(NumberForm::wordByTag(*header.word2, Aw2->tag()));
    }
    Picture1->paintIcon(header.icon);
    if (header.complete()) {
        Ahead->setText(NumberForm::decimal(header.headSize));
        if (header.isAddin()) {
            Aorg->setText(NumberForm::plainByTag(header.org, Aorg->tag()));
            Acode->setText(NumberForm::decimal(header.codeSize));
        }
    }
    setParsed(!Atype->text().isEmpty());
}

HeaderBox* HeaderArea::addBox(QWidget* frame, const QString& name, const QString& toolTip,
                              const QRect& place) {
    auto* box = new HeaderBox(name, toolTip, frame);
    box->setGeometry(place);
    return box;
}

void HeaderArea::addCaption(QWidget* frame, const QString& name, const QString& text,
                            HeaderBox* box, int top) {
    auto* label = new QLabel(text, frame);
    label->setObjectName(name);
    // The caption names its box, for screen readers too.
    label->setBuddy(box);
    label->setFont(m_captionFont);
    label->adjustSize();
    // Captions size themselves to their text and end just left of their box.
    label->move(box->x() - 2 - label->width(), top + (13 - label->height()) / 2);
}
