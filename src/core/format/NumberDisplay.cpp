// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberDisplay.h"

QString NumberDisplay::text() const {
    switch (m_shown) {
    case Shown::Nothing:
        return {};
    case Shown::Zero:
        return QStringLiteral("0");
    case Shown::Value:
        break;
    }
    const bool word = m_form == Form::Word || (m_form == Form::PlainAsRead && m_converted);
    return word ? NumberForm::word(m_value, m_base) : NumberForm::plain(m_value, m_base);
}

void NumberDisplay::show(int value) {
    m_value = value;
    m_shown = Shown::Value;
    m_converted = false;
}

void NumberDisplay::showZero() {
    m_value = 0;
    m_shown = Shown::Zero;
    m_converted = false;
}

void NumberDisplay::clear() {
    m_value = 0;
    m_shown = Shown::Nothing;
    m_converted = false;
}

void NumberDisplay::toggle() {
    m_base = NumberForm::other(m_base);
    if (m_shown == Shown::Nothing) {
        return;
    }
    // A cleared box's "0" is converted like any value: one click keeps "0" in decimal, the
    // next shows "$0000".
    m_shown = Shown::Value;
    m_converted = true;
}
