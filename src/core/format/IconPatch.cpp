// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconPatch.h"

#include "AddinHeader.h"

IconPatch IconPatch::apply(QByteArray& image, const QByteArray& icon) {
    IconPatch result;
    if (icon.size() != AddinHeader::kIconBytes) {
        result.outcome = Outcome::WrongLength;
        result.problem = QStringLiteral("An icon is %1 bytes, not %2.")
                             .arg(AddinHeader::kIconBytes)
                             .arg(icon.size());
        return result;
    }
    const AddinHeader header = AddinHeader::parse(image);
    if (!header.complete()) {
        result.outcome = Outcome::NotAddin;
        result.problem = header.problemText();
        return result;
    }
    if (!header.isAddin()) {
        result.outcome = Outcome::NotAddin;
        result.problem = QStringLiteral("Not an add-in: its class type is \"%1\", not \"ADDIN\", "
                                        "so it has no icon.")
                             .arg(header.addinType.value_or(QString()));
        return result;
    }
    image.replace(header.iconStart - 1, AddinHeader::kIconBytes, icon);
    return result;
}
