// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A byte as eight "0"/"1" characters, the most significant bit first.
QString Int2Bin(quint8 inByte);
