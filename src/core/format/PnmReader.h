// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IconPicture.h"

#include <QIODevice>

// PBM, PGM and PPM pictures, plain (text) and raw, read front to back without holding more
// than a row: a plain PGM of 4000 x 3200 pixels is 77 MB of text. Samples are judged at the
// file's own maximum, so a 16-bit PGM or one with maximum 1000 is exactly as black as the
// same grey in a PNG. A plain PBM may write its bits without spaces between them.
namespace PnmReader {

// Reads from the device's current position; the device starts with "P1" to "P6".
IconPicture read(QIODevice& device);

} // namespace PnmReader
