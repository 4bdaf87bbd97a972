// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeLabels.h"

#include "NumberForm.h"

QString CodeLabels::nameAt(int offset) const {
    const auto given = m_names.constFind(offset);
    return given != m_names.cend() ? *given : generatedName(addressOf(offset));
}

void CodeLabels::setName(int offset, const QString& name) {
    if (name.isEmpty()) {
        m_names.remove(offset);
    } else {
        m_names.insert(offset, name);
    }
}

QString CodeLabels::generatedName(quint16 address) {
    QString name(5, QLatin1Char('L'));
    for (int i = 0; i < 4; ++i) {
        name[4 - i] = QLatin1Char(NumberForm::hexDigit(address >> (4 * i)));
    }
    return name;
}
