// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IconPicture.h"

#include <QIODevice>

// PNG pictures through libpng, a row at a time. Every ancillary chunk but the transparency is
// skipped unread: a compressed text chunk would otherwise be inflated whole (7.9 MB of text
// from 7.7 KB, as often as the file repeats it) before a single pixel. A palette index past
// the palette is damage, not black; libpng's own words name any other damage, and nothing is
// written to stderr.
namespace PngReader {

// Reads from the device's current position, which starts with the PNG signature.
IconPicture read(QIODevice& device);

} // namespace PngReader
