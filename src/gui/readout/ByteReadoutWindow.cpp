// SPDX-License-Identifier: GPL-3.0-or-later
#include "ByteReadoutWindow.h"

#include "AppIcon.h"
#include "DumpState.h"
#include "NumberForm.h"
#include "OwnerPlacement.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace {

using Value = ByteReadout::Value;

constexpr std::array<Value, 4> kValues = {Value::Unsigned8, Value::Signed8, Value::Little16,
                                          Value::Big16};

QString offsetText(int offset) {
    return QStringLiteral("%1 (%2)").arg(NumberForm::hexPlain(offset)).arg(offset);
}

} // namespace

ByteReadoutWindow::ByteReadoutWindow(const DumpState& dump, const ChangeTurn& turn, QWidget* owner)
    : QWidget(owner, Qt::Tool), m_dump(dump) {
    setObjectName(QStringLiteral("frmInspector"));
    setWindowTitle(QStringLiteral("Data inspector"));
    setWindowIcon(appIcon());
    // It follows the main window's dump: no reason to keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_form = new QFormLayout(this);
    QFormLayout* form = m_form;
    m_offset = addRow(form, QStringLiteral("lblInspectOffset"), QStringLiteral("File offset:"));
    m_dumpOffset =
        addRow(form, QStringLiteral("lblInspectDumpOffset"), QStringLiteral("Dump offset:"));
    m_address = addRow(form, QStringLiteral("lblInspectAddress"), QStringLiteral("Code address:"));
    m_field = addRow(form, QStringLiteral("lblInspectField"), QStringLiteral("Header field:"));
    const std::array<std::pair<const char*, QString>, 4> values = {{
        {"txtInspectUnsigned8", QStringLiteral("Unsigned 8-bit:")},
        {"txtInspectSigned8", QStringLiteral("Signed 8-bit:")},
        {"txtInspectLittle16", QStringLiteral("16-bit little-endian:")},
        {"txtInspectBig16", QStringLiteral("16-bit big-endian:")},
    }};
    for (std::size_t i = 0; i < kValues.size(); ++i) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QLatin1String(values[i].first));
        field->setAccessibleName(values[i].second.chopped(1));
        field->setToolTip(QStringLiteral("Type a value (decimal, or hexadecimal after $ or 0x) "
                                         "and press Enter to write it"));
        form->addRow(values[i].second, field);
        const Value value = kValues[i];
        connect(field, &QLineEdit::returnPressed, this,
                [this, field, value] { emit valueTyped(value, field->text()); });
        field->installEventFilter(this);
        m_values[i] = field;
    }
    m_binary = addRow(form, QStringLiteral("lblInspectBinary"), QStringLiteral("Binary:"));
    m_character = addRow(form, QStringLiteral("lblInspectCharacter"), QStringLiteral("Character:"));
    m_instruction =
        addRow(form, QStringLiteral("lblInspectInstruction"), QStringLiteral("Z80 instruction:"));
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblInspectNote"));
    m_note->setWordWrap(true);
    form->addRow(m_note);
    m_instruction->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    refresh();
    connect(&turn, &ChangeTurn::ended, this, [this](const ChangeTurn::Changes& changes) {
        if (changes.content() || changes.dump & DumpState::Change::Selection) {
            refresh();
        }
    });
}

bool ByteReadoutWindow::eventFilter(QObject* watched, QEvent* event) {
    // A line edit claims Undo's and Redo's keys for its own text before any shortcut sees
    // them; here they belong to the document, whose steps the values are written as.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination pressed = key->keyCombination();
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            pressed == QKeyCombination(Qt::CTRL, Qt::Key_Y) ||
            pressed == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z)) {
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QLabel* ByteReadoutWindow::addRow(QFormLayout* form, const QString& name, const QString& caption) {
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(caption, label);
    return label;
}

QLineEdit* ByteReadoutWindow::valueField(Value value) const {
    return m_values.at(std::size_t(value));
}

QString ByteReadoutWindow::shownText(const QString& name) const {
    const auto* label = findChild<QLabel*>(name);
    return label ? label->text() : QString();
}

void ByteReadoutWindow::refresh() {
    const bool loaded = m_dump.document().isLoaded();
    const int offset = m_dump.selection().start;
    const ByteReadout byte =
        loaded ? ByteReadout::at(m_dump.document(), offset, m_dump.dumpStart()) : ByteReadout{};
    m_offset->setText(loaded ? offsetText(offset) : QString());
    // The dump counts from the file's first byte unless the header is stripped.
    m_dumpOffset->setText(byte.dumpOffset ? offsetText(*byte.dumpOffset) : QString());
    m_form->setRowVisible(m_dumpOffset, byte.dumpOffset.has_value());
    m_address->setText(byte.codeAddress ? NumberForm::hexWord(*byte.codeAddress)
                                        : QStringLiteral("none"));
    m_field->setText(loaded ? byte.field : QString());
    for (std::size_t i = 0; i < kValues.size(); ++i) {
        m_values[i]->setText(byte.valueText(kValues[i]));
        m_values[i]->setEnabled(!m_values[i]->text().isEmpty());
    }
    m_binary->setText(byte.binaryText());
    m_character->setText(byte.character);
    m_instruction->setText(byte.instruction);
}

void ByteReadoutWindow::showNote(const QString& text) {
    m_note->setText(text);
}

void ByteReadoutWindow::present() {
    if (!m_placed && parentWidget()) {
        m_placed = true;
        adjustSize();
        OwnerPlacement::placeBelow(*this, *parentWidget(), Qt::AlignRight);
    }
    show();
    raise();
    activateWindow();
}
