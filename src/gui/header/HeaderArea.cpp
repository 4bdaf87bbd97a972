// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderArea.h"

#include "AddinHeader.h"
#include "HeaderBox.h"
#include "IconBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QSignalBlocker>

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

    m_icon = new IconBox(frame6);
    m_icon->move(27, 14);

    m_stripHeader = new QCheckBox(QStringLiteral("Strip header"), frame6);
    m_stripHeader->setObjectName(QStringLiteral("chkCode"));
    m_stripHeader->setToolTip(QStringLiteral("Strip/Show Header"));
    const int indicatorRoom = m_stripHeader->sizeHint().width() -
                              m_stripHeader->fontMetrics().horizontalAdvance(m_stripHeader->text());
    m_captionFont = fittedCaptionFont(font(), indicatorRoom);
    m_stripHeader->setFont(m_captionFont);
    m_stripHeader->setGeometry(5, 61, kStripHeaderWidth, 13);

    m_org = addBox(frame5, QStringLiteral("Aorg"),
                   QStringLiteral("Code start address - Click to toggle HEX/Dec"),
                   QRect(86, 9, 52, 19));
    m_headSize = addBox(frame5, QStringLiteral("Ahead"), QStringLiteral("Header size."),
                        QRect(86, 27, 52, 19));
    m_codeSize = addBox(frame5, QStringLiteral("Acode"), QStringLiteral("Approximate code size."),
                        QRect(86, 45, 52, 19));
    addCaption(frame5, QStringLiteral("Label10"), QStringLiteral("Addin ORG"), m_org, 12);
    addCaption(frame5, QStringLiteral("Label9"), QStringLiteral("Header size"), m_headSize, 30);
    addCaption(frame5, QStringLiteral("Label8"), QStringLiteral("Aprox. code size"), m_codeSize,
               47);

    const QString wordTip = QStringLiteral("Unknown word!? - Click to toggle HEX/Dec");
    m_word1 = addBox(this, QStringLiteral("Aw1"), wordTip, QRect(60, 64, 63, 19));
    m_word2 = addBox(this, QStringLiteral("Aw2"), wordTip, QRect(175, 64, 63, 19));
    m_description = addBox(this, QStringLiteral("Adesc"), QStringLiteral("AddIn description"),
                           QRect(60, 45, 178, 19));
    m_name =
        addBox(this, QStringLiteral("Aname"), QStringLiteral("AddIn name"), QRect(60, 27, 178, 19));
    m_type =
        addBox(this, QStringLiteral("Atype"), QStringLiteral("AddIn type"), QRect(60, 9, 178, 19));
    addCaption(this, QStringLiteral("Label7"), QStringLiteral("Start of set"), m_word1, 68);
    addCaption(this, QStringLiteral("Label6"), QStringLiteral("word 2"), m_word2, 68);
    addCaption(this, QStringLiteral("Label5"), QStringLiteral("Description"), m_description, 47);
    addCaption(this, QStringLiteral("Label4"), QStringLiteral("Name"), m_name, 30);
    addCaption(this, QStringLiteral("Label3"), QStringLiteral("Class"), m_type, 12);

    m_org->setNumberForm(NumberDisplay::Form::PlainAsRead);
    m_word1->setNumberForm(NumberDisplay::Form::Word);
    m_word2->setNumberForm(NumberDisplay::Form::Word);
    for (HeaderBox* field : {m_name, m_description}) {
        connect(field, &HeaderBox::doubleClicked, this, [this, field] {
            if (m_parsed) {
                field->toggleLock();
            }
        });
    }
    connect(qApp, &QApplication::focusChanged, this, &HeaderArea::focusMoved);
    connect(m_stripHeader, &QCheckBox::toggled, this, &HeaderArea::stripHeaderToggled);
    connect(m_icon, &IconBox::doubleClicked, this, &HeaderArea::iconCodeRequested);
    connect(m_icon->replaceAction(), &QAction::triggered, this, &HeaderArea::iconReplaceRequested);
    connect(m_icon, &IconBox::fileDropped, this, &HeaderArea::fileDroppedOnIcon);
    m_stripHeader->setEnabled(false);

    // Keyboard order of the header area; the window puts the dump panes in front of it.
    m_icon->setFocusPolicy(Qt::TabFocus);
    setTabOrder(m_type, m_name);
    setTabOrder(m_name, m_description);
    setTabOrder(m_description, m_word2);
    setTabOrder(m_word2, m_word1);
    setTabOrder(m_word1, m_codeSize);
    setTabOrder(m_codeSize, m_headSize);
    setTabOrder(m_headSize, m_org);
    setTabOrder(m_org, m_icon);
    setTabOrder(m_icon, m_stripHeader);
    // The window puts the header area after the panes in the keyboard order: that is its first
    // box.
    setFocusProxy(m_type);
}

void HeaderArea::focusMoved(QWidget* /*old*/, QWidget* now) {
    // The menu bar, a menu, a context menu, a dialog or another program taking the focus
    // leave an edit going; any other control of this window ends it.
    if (!now || now->window() != window() || qobject_cast<QMenuBar*>(now)) {
        return;
    }
    for (const auto field : {AddinDocument::Field::Name, AddinDocument::Field::Description}) {
        if (box(field) != now && !box(field)->isLocked()) {
            emit fieldLeft(field);
        }
    }
}

HeaderBox* HeaderArea::box(AddinDocument::Field field) const {
    return field == AddinDocument::Field::Name ? m_name : m_description;
}

std::optional<QString> HeaderArea::endEdit(AddinDocument::Field field) {
    HeaderBox* edited = box(field);
    if (!edited->endEdit()) {
        return std::nullopt;
    }
    return edited->text();
}

void HeaderArea::setParsed(bool parsed) {
    m_parsed = parsed;
    for (HeaderBox* number : {m_org, m_word1, m_word2}) {
        number->setTogglesOnClick(parsed);
    }
}

void HeaderArea::showStripHeader(bool strip, bool enabled) {
    // Shown, not asked for: the window hears only what the user does to the box.
    const QSignalBlocker quiet(m_stripHeader);
    m_stripHeader->setChecked(strip);
    m_stripHeader->setEnabled(enabled);
}

void HeaderArea::clear() {
    m_type->clear();
    m_name->showField(QString(), 0);
    m_description->showField(QString(), 0);
    for (HeaderBox* number : {m_word1, m_word2, m_org}) {
        number->showZero();
    }
    for (HeaderBox* number : {m_headSize, m_codeSize}) {
        number->setText(QStringLiteral("0"));
    }
    m_icon->clear();
    m_icon->replaceAction()->setEnabled(false);
    setParsed(false);
}

void HeaderArea::showField(AddinDocument::Field field, const AddinDocument& document) {
    box(field)->setLocked(true);
    fillField(field, document);
}

void HeaderArea::fillField(AddinDocument::Field field, const AddinDocument& document) {
    const AddinHeader& header = document.header();
    const std::optional<HeaderField>& read =
        field == AddinDocument::Field::Name ? header.name : header.description;
    box(field)->showField(read ? read->text() : QString(), document.patchableLength(field));
}

void HeaderArea::show(const AddinDocument& document) {
    clear();
    const AddinHeader& header = document.header();
    if (header.classLine) {
        m_type->setText(header.classLine->text());
    }
    fillField(AddinDocument::Field::Name, document);
    fillField(AddinDocument::Field::Description, document);
    if (header.word1) {
        m_word1->showNumber(*header.word1);
    }
    if (header.word2) {
        m_word2->showNumber(*header.word2);
    }
    m_icon->paintIcon(header.icon);
    m_icon->replaceAction()->setEnabled(document.isCompleteAddin());
    if (header.complete()) {
        m_headSize->setText(NumberForm::decimal(header.headSize));
        if (header.isAddin()) {
            m_org->showNumber(header.org);
            m_codeSize->setText(NumberForm::decimal(header.codeSize));
        }
    }
    setParsed(!m_type->text().isEmpty());
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
