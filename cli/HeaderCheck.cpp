// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderCheck.h"

namespace HeaderCheck {

QString damage(const AddinHeader& header) {
    return header.problemText();
}

QString notAddin(const AddinHeader& header) {
    if (!header.complete()) {
        return damage(header);
    }
    if (!header.isAddin()) {
        return QStringLiteral("not an add-in: its class type is \"%1\", not \"ADDIN\"")
            .arg(header.addinType.value_or(QString()));
    }
    return {};
}

} // namespace HeaderCheck
