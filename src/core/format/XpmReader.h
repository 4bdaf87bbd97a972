// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IconPicture.h"

#include <QByteArray>

// XPM pictures, read as Qt reads them (the strings in double quotes after the first line, the
// colour keys "c", "g", "g4" or "m", X11 colour names) but refused where Qt makes up what is
// missing: a row shorter than the picture, a pixel whose characters are not in the colour
// table, a colour that is no colour. The colour table is kept as places in the file's own
// bytes, four bytes a colour, however many colours the file declares.
namespace XpmReader {

// `bytes` start with "/* XPM".
IconPicture read(const QByteArray& bytes);

} // namespace XpmReader
