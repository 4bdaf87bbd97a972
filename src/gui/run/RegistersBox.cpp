// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegistersBox.h"

#include "RunRegisters.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include <array>

namespace {

struct FlagBox {
    Z80Registers::Flag flag;
    const char* name; // the object name's end
    const char* caption;
    const char* fullName;
};

constexpr std::array<FlagBox, 6> kFlags = {{
    {Z80Registers::Sign, "S", "S", "Sign"},
    {Z80Registers::Zero, "Z", "Z", "Zero"},
    {Z80Registers::HalfCarry, "H", "H", "Half carry"},
    {Z80Registers::ParityOverflow, "PV", "P/V", "Parity or overflow"},
    {Z80Registers::Subtract, "N", "N", "Subtract"},
    {Z80Registers::Carry, "C", "C", "Carry"},
}};

// Where each register's field stands: the main set left, the second set beside it, then the
// index and special registers.
constexpr int kColumns = 2;

} // namespace

RegistersBox::RegistersBox(QWidget* parent) : QGroupBox(QStringLiteral("Registers"), parent) {
    setObjectName(QStringLiteral("fraRunRegisters"));
    auto* grid = new QGridLayout;
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFontMetrics metrics(fixed);
    const QStringList& names = RunRegisters::names();
    for (int index = 0; index < names.size(); ++index) {
        const QString& name = names.at(index);
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("txtReg") + QString(name).replace('\'', '2'));
        field->setAccessibleName(name);
        field->setToolTip(
            QStringLiteral("%1 in hexadecimal: type a value and press Enter").arg(name));
        field->setFont(fixed);
        field->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("00000")) + 12);
        auto* label = new QLabel(name, this);
        label->setBuddy(field);
        // AF to HL left, their second set right; then IX IY, SP PC, I R, IM.
        const int row = index < 8 ? index % 4 : 4 + (index - 8) / kColumns;
        const int column = index < 8 ? index / 4 : (index - 8) % kColumns;
        grid->addWidget(label, row, 2 * column);
        grid->addWidget(field, row, 2 * column + 1);
        connect(field, &QLineEdit::editingFinished, this,
                [this, index, field] { emit edited(index, field->text()); });
        m_fields.append(field);
        m_changed.append(false);
    }
    auto* flags = new QHBoxLayout;
    flags->addWidget(new QLabel(QStringLiteral("Flags"), this));
    for (const FlagBox& box : kFlags) {
        auto* check = new QCheckBox(QLatin1String(box.caption), this);
        check->setObjectName(QStringLiteral("chkFlag") + QLatin1String(box.name));
        check->setAccessibleName(QLatin1String(box.fullName) + QStringLiteral(" flag"));
        check->setToolTip(QLatin1String(box.fullName));
        const Z80Registers::Flag flag = box.flag;
        connect(check, &QCheckBox::clicked, this,
                [this, flag](bool on) { emit flagSet(flag, on); });
        flags->addWidget(check);
        m_flags.append(check);
    }
    flags->addStretch();
    auto* layout = new QVBoxLayout(this);
    grid->setColumnStretch(4, 1);
    layout->addLayout(grid);
    layout->addLayout(flags);
}

void RegistersBox::showRegisters(const Z80Registers& now, const Z80Registers& before) {
    // The colour of a changed register: the one links take, which every theme keeps readable.
    const QColor changed = palette().color(QPalette::Link);
    for (int index = 0; index < m_fields.size(); ++index) {
        QLineEdit* field = m_fields.at(index);
        const QString text = RunRegisters::text(now, index);
        if (field->text() != text) {
            field->setText(text);
        }
        const bool differs = text != RunRegisters::text(before, index);
        if (differs == m_changed.at(index)) {
            continue;
        }
        m_changed[index] = differs;
        QPalette colours = field->palette();
        colours.setColor(QPalette::Text, differs ? changed : palette().color(QPalette::Text));
        field->setPalette(colours);
        field->setAccessibleDescription(differs ? QStringLiteral("changed by the last command")
                                                : QString());
    }
    for (int i = 0; i < m_flags.size(); ++i) {
        m_flags.at(i)->setChecked(now.flag(kFlags.at(size_t(i)).flag));
    }
}
