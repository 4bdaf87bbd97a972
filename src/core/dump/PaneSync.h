// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

// Keeps the follower pane in step with the leading one: position, selection length and first
// visible line, converted between three characters a byte (hex) and one (ASCII). Plain
// arithmetic on what the panes report; the widgets apply the result.
class PaneSync {
public:
    enum class Pane { Hex, Ascii };

    struct Reading {
        Pane leader = Pane::Hex;
        int selStart = 0;        // leader's selection start, in characters
        int selLength = 0;       // leader's selection length, in characters
        int leaderTopChar = 0;   // first visible character of the leader
        int followerTopChar = 0; // first visible character of the follower
    };

    struct Selection {
        int start = 0;
        int length = 0;
    };

    struct Step {
        int position = 0;                    // dump offset of the first selected byte or the caret
        int length = 0;                      // selection length in bytes
        int firstLine = 1;                   // leader's first visible line, 1-based
        int scrollFollowerBy = 0;            // whole lines, towards the end when positive
        std::optional<int> addressFirstLine; // rewrite the address column from this line
        std::optional<Selection> followerSelection; // in the follower's characters
    };

    static int charsPerByte(Pane pane);
    static int charsPerLine(Pane pane);
    static int lineOfChar(Pane pane, int topChar) { return topChar / charsPerLine(pane) + 1; }

    // One pass over the panes; remembers what it wrote for the next pass.
    Step step(const Reading& reading);

private:
    std::optional<Pane> m_lastLeader;
    int m_lastFirstLine = 0;
    int m_lastPosition = 0;
    int m_lastLength = 0;
};
