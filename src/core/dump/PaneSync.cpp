// SPDX-License-Identifier: GPL-3.0-or-later
#include "PaneSync.h"

#include "DumpText.h"

int PaneSync::charsPerByte(Pane pane) {
    return pane == Pane::Hex ? DumpText::kHexCharsPerByte : 1;
}

int PaneSync::charsPerLine(Pane pane) {
    return DumpText::kBytesPerLine * charsPerByte(pane);
}

PaneSync::Step PaneSync::step(const Reading& reading) {
    // A new leader forces the address column and the mirrored selection to be rewritten.
    if (m_lastLeader != reading.leader) {
        m_lastLeader = reading.leader;
        m_lastFirstLine = 0;
        m_lastPosition = 0;
        m_lastLength = 0;
    }

    const Pane follower = reading.leader == Pane::Hex ? Pane::Ascii : Pane::Hex;
    const int perByte = charsPerByte(reading.leader);

    Step result;
    result.position = reading.selStart / perByte;
    result.length = (reading.selLength + perByte - 1) / perByte;
    result.firstLine = lineOfChar(reading.leader, reading.leaderTopChar);
    result.scrollFollowerBy = result.firstLine - lineOfChar(follower, reading.followerTopChar);

    if (result.firstLine != m_lastFirstLine) {
        m_lastFirstLine = result.firstLine;
        result.addressFirstLine = result.firstLine;
    }
    if (result.length != m_lastLength || result.position != m_lastPosition) {
        m_lastLength = result.length;
        m_lastPosition = result.position;
        const int factor = charsPerByte(follower);
        result.followerSelection = Selection{result.position * factor, result.length * factor};
    }
    return result;
}
