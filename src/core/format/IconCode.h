// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

// An icon as assembler source: 32 lines of ".db" and five "$hh" items, one line per pixel row.
namespace IconCode {

constexpr int kTextLength = 831;

// Any pixel that is not pure white is a set bit.
QString fromPixels(const QImage& pixels);
// The header's icon bytes, drawn as the icon box draws them on white: the bytes a cut-short
// icon lacks come out as white pixels, whatever the desktop's colours.
QString fromBytes(const QByteArray& icon);

} // namespace IconCode
