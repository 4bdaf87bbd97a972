// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

// The icon box's pixels as assembler source: 32 lines of ".db" and five "$hh" items, one line
// per pixel row. Any pixel that is not pure white is a set bit.
namespace IconCode {

constexpr int kTextLength = 831;

QString fromPixels(const QImage& pixels);

} // namespace IconCode
