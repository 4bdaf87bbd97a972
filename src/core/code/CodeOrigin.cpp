// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeOrigin.h"

#include "CodeListing.h"
#include "Z80Decoder.h"

#include <QList>

#include <bit>
#include <vector>

namespace {

constexpr int kAddresses = 0x10000;
constexpr int kPageSize = 0x100;
constexpr int kPages = kAddresses / kPageSize;

struct Jump {
    int offset = 0; // of the instruction, from the code's first byte
    quint16 target = 0;
};

struct Landing {
    int inside = 0;  // targets inside the code
    int onStart = 0; // of them, those on the first byte of an instruction
};

// Where `jumps` lead when the code runs at `origin`.
Landing landingAt(const QList<Jump>& jumps, const std::vector<bool>& starts, quint16 origin) {
    Landing landing;
    for (const Jump& jump : jumps) {
        const int offset = quint16(jump.target - origin);
        if (offset < int(starts.size())) {
            ++landing.inside;
            landing.onStart += starts[offset] ? 1 : 0;
        }
    }
    return landing;
}

// The code's own CALLs and JPs lead to its instructions, the handheld's routines only by
// chance (a third or so of the bytes start an instruction): three in four on instructions
// tells the code's own.
bool explains(const Landing& landing, int targets) {
    return 2 * landing.inside > targets && 4 * landing.onStart >= 3 * landing.inside;
}

// Of two origins that explain as many targets, the rounder: `org $0000` is what an author
// forgets.
bool rounder(quint16 a, quint16 b) {
    return std::countr_zero(quint32(a) | kAddresses) > std::countr_zero(quint32(b) | kAddresses);
}

} // namespace

std::optional<CodeOrigin> CodeOrigin::misplaced(QByteArrayView image, int first, int end) {
    const int length = end - first;
    if (length <= 0) {
        return std::nullopt;
    }
    std::vector<bool> starts(length, false);
    QList<Jump> jumps;
    Z80Decoder decoder;
    for (int offset = first; offset < end;) {
        const Z80Decoder::Step step = decoder.at(image, offset, end, 0);
        starts[offset - first] = true;
        if (!step.data) {
            if (const auto target = Z80Decoder::absoluteTarget(image.sliced(offset, step.length))) {
                jumps.append({offset - first, *target});
            }
        }
        offset += step.length;
    }
    const auto base = quint16(CodeListing::kDefaultBase);
    CodeOrigin found;
    found.targets = int(jumps.size());
    for (const Jump& jump : jumps) {
        if (quint16(jump.target - base) >= length) {
            if (found.outside++ == 0) {
                found.firstOutside = first + jump.offset;
            }
        }
    }
    if (2 * found.outside <= found.targets) {
        return std::nullopt;
    }

    // Authors give whole pages as origins ($0000, $4000, $C000): those are weighed.
    for (int page = 0; page < kPages; ++page) {
        const auto origin = quint16(page * kPageSize);
        if (origin == base) {
            continue;
        }
        const Landing landing = landingAt(jumps, starts, origin);
        if (!explains(landing, found.targets)) {
            continue;
        }
        if (landing.onStart > found.landing ||
            (landing.onStart == found.landing && rounder(origin, found.origin))) {
            found.landing = landing.onStart;
            found.origin = origin;
        }
    }
    if (found.landing == 0) {
        return std::nullopt;
    }
    return found;
}
