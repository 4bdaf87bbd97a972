// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

// Whether an add-in's code was assembled for another address than $8000, where its first byte
// runs: an author who forgot `org $8000` has CALLs and JPs that lead outside the code. The
// handheld's own routines lie outside every add-in, so a few targets outside prove nothing;
// most of them outside while another origin (a whole page, as authors write them) puts most of
// them inside, and three in four of those on its instructions, do.
struct CodeOrigin {
    quint16 origin = 0;   // the address the code seems to be assembled for
    int targets = 0;      // absolute CALL and JP targets in the code
    int outside = 0;      // of them, those outside the code at $8000
    int landing = 0;      // of them, those on an instruction of the code at `origin`
    int firstOutside = 0; // file offset of the first CALL or JP that leads outside

    // The code is the file offsets [first, end) of `image`. None when most targets lie in the
    // code at $8000, or no other origin puts most of them inside it and on its instructions.
    static std::optional<CodeOrigin> misplaced(QByteArrayView image, int first, int end);
};
