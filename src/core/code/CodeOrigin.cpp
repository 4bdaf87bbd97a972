// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeOrigin.h"

#include "CodeListing.h"
#include "Z80Decoder.h"

#include <QList>

#include <bit>
#include <vector>

namespace {

constexpr int kAddresses = 0x10000;
// Origins are proposed by this many targets, spread over the code; each of them that lands on
// an instruction at an origin is a vote for it.
constexpr int kVoters = 8;

struct Jump {
    int offset = 0; // of the instruction, from the code's first byte
    quint16 target = 0;
};

// How many of `jumps` land on the first byte of an instruction when the code runs at `origin`.
int landingAt(const QList<Jump>& jumps, const std::vector<bool>& starts, quint16 origin) {
    int landing = 0;
    for (const Jump& jump : jumps) {
        const int offset = quint16(jump.target - origin);
        landing += offset < int(starts.size()) && starts[offset] ? 1 : 0;
    }
    return landing;
}

// Of two origins that explain as many targets, the rounder: `org $0000` is what an author
// forgets, `org $8000` before the header what an author misplaces.
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

    // Each voter votes for every origin that puts it on an instruction; only an origin most
    // voters agree on can put most targets on instructions, and only those are counted out.
    const qsizetype voters = std::min<qsizetype>(kVoters, jumps.size());
    std::vector<quint8> votes(kAddresses, 0);
    for (qsizetype voter = 0; voter < voters; ++voter) {
        const quint16 target = jumps.at(voter * jumps.size() / voters).target;
        for (int offset = 0; offset < length; ++offset) {
            if (starts[offset]) {
                ++votes[quint16(target - offset)];
            }
        }
    }
    for (int origin = 0; origin < kAddresses; ++origin) {
        if (2 * votes[origin] <= voters || origin == base) {
            continue;
        }
        const int landing = landingAt(jumps, starts, quint16(origin));
        if (landing > found.landing ||
            (landing == found.landing && rounder(quint16(origin), found.origin))) {
            found.landing = landing;
            found.origin = quint16(origin);
        }
    }
    if (2 * found.landing <= found.targets) {
        return std::nullopt;
    }
    return found;
}
