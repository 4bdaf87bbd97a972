// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>

#include <optional>

// The pointer's rule in a dump pane. A press puts the caret on the byte under it. Once the
// pointer, the button held, has gone the system's drag distance from where it was pressed, it
// drags: from then on it selects from the byte under the press to the byte under the pointer,
// both included, whichever way it went. A click whose pointer jitters less stays a click.
class PointerDrag {
public:
    // The anchor and the caret of the selection a drag makes (file offsets).
    struct Selection {
        int anchor = 0;
        int caret = 0;
        bool operator==(const Selection&) const = default;
    };

    // The button went down at `point`, over `byte`.
    void press(QPoint point, int byte);
    void release();
    // The pointer moved to `point`, over `byte`, with the button held: the selection, or
    // nothing while there is no drag (no press, or not yet the drag distance from it).
    std::optional<Selection> moveTo(QPoint point, int byte, int dragDistance);

private:
    std::optional<QPoint> m_pressedAt;
    int m_pressedByte = 0;
    bool m_dragging = false;
};
