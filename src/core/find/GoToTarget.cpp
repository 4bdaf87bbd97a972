// SPDX-License-Identifier: GPL-3.0-or-later
#include "GoToTarget.h"

#include "AddinHeader.h"
#include "ByteRange.h"
#include "CodeAddress.h"
#include "NumberForm.h"

namespace {

// "$1FFF (8191)": both forms, whichever the user thinks in.
QString offsetText(qint64 offset) {
    return QStringLiteral("$%1 (%2)").arg(QString::number(offset, 16).toUpper()).arg(offset);
}

// A code address is hexadecimal, as the listing and every other place print it: "8010",
// "$8010" and "0x8010" are the same address.
std::optional<qint64> codeAddress(QStringView typed) {
    if (typed.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        typed = typed.mid(2);
    } else if (typed.startsWith(QLatin1Char('$'))) {
        typed = typed.mid(1);
    }
    return NumberForm::parseNumber(QLatin1Char('$') + typed.toString());
}

GoToTarget::Place refused(const QString& sentence) {
    return {std::nullopt, sentence};
}

} // namespace

GoToTarget::Parse GoToTarget::parse(const QString& typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        return {std::nullopt, QStringLiteral("Type a file offset ($1F0, 0x1F0 or 496) or a "
                                             "code address (@8010, hexadecimal).")};
    }
    const bool code = text.startsWith(QLatin1Char('@'));
    const auto value =
        code ? codeAddress(QStringView(text).mid(1).trimmed()) : NumberForm::parseNumber(text);
    if (!value) {
        return {std::nullopt,
                QStringLiteral("\"%1\" is neither a file offset ($1F0, 0x1F0 or 496) nor a code "
                               "address (@8010, hexadecimal).")
                    .arg(text)};
    }
    return {GoToTarget(code ? Kind::CodeAddress : Kind::FileOffset, *value, text), {}};
}

GoToTarget::Place GoToTarget::resolve(const QString& typed, int imageSize,
                                      const AddinHeader& header, bool headerStripped) {
    const Parse parsed = parse(typed);
    if (!parsed.target) {
        return refused(parsed.refusal);
    }
    return parsed.target->place(imageSize, header, headerStripped);
}

GoToTarget::Place GoToTarget::place(int imageSize, const AddinHeader& header,
                                    bool headerStripped) const {
    if (imageSize <= 0) {
        return refused(QStringLiteral("The file has no bytes to go to."));
    }
    if (m_kind == Kind::CodeAddress) {
        const auto firstCode = CodeAddress::toOffset(CodeAddress::kFirstCodeAddress, header);
        if (!firstCode) {
            return refused(QStringLiteral("%1 is a code address, but this file has no add-in "
                                          "code: its header is not a complete add-in header.")
                               .arg(m_typed));
        }
        if (*firstCode >= imageSize) {
            return refused(QStringLiteral("%1 is a code address, but the header fills the "
                                          "whole file.")
                               .arg(m_typed));
        }
        if (m_value < CodeAddress::kFirstCodeAddress) {
            return refused(QStringLiteral("%1 lies before the code, whose first byte runs at "
                                          "$8000.")
                               .arg(m_typed));
        }
        const qint64 offset = *firstCode + m_value - CodeAddress::kFirstCodeAddress;
        if (offset >= imageSize) {
            const int lastAddress = CodeAddress::kFirstCodeAddress + imageSize - 1 - *firstCode;
            return refused(QStringLiteral("%1 lies past the end of the file, whose last byte "
                                          "runs at $%2.")
                               .arg(m_typed, QString::number(lastAddress, 16).toUpper()));
        }
        return {int(offset), {}};
    }
    if (m_value >= imageSize) {
        return refused(QStringLiteral("Offset %1 lies past the end of the file, whose last "
                                      "byte is at %2.")
                           .arg(m_typed, offsetText(imageSize - 1)));
    }
    const ByteRange shown = ByteRange::shown(imageSize, headerStripped, header.headSize);
    if (!shown.holds(int(m_value))) {
        return refused(QStringLiteral("Offset %1 lies in the header, which \"Strip header\" "
                                      "hides.")
                           .arg(m_typed));
    }
    return {int(m_value), {}};
}
