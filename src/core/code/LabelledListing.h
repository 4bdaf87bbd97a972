// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class CodeListing;

// A listing's text with labels, as `disasm` prints it: a line "L9B03:" before each line that
// holds a label (in a linear listing, that a listed JP, CALL, JR or DJNZ leads to or into),
// and each address the lines name inside the listing named by label. Addresses outside the
// listing stay numbers.
//
//   L8000:
//   8000  00           nop
//   8001  C3 00 80     jp L8000
//   8004  18 FB        jr L8000+$01
//   8006  21 09 80     ld hl,L8009
//   L8009:
//   8009  48 69 00     .dm "Hi"
//
// Lines and instructions map both ways, so a view of this text can follow the dump.
class LabelledListing {
public:
    // The window's listing has a column of the line's first bytes as characters between the
    // bytes and the instruction, as the dump's ASCII pane shows them.
    enum class Columns { AsListed, WithCharacters };
    static constexpr int kCharactersWidth = 8;

    LabelledListing() = default;
    explicit LabelledListing(const CodeListing& listing, Columns columns = Columns::AsListed);

    // Every line, each ending in a line feed.
    const QString& text() const { return m_text; }
    int lineCount() const { return int(m_instructionOfLine.size()); }
    // The instruction that line `line` shows, or stands before as its label line.
    int instructionAt(int line) const { return m_instructionOfLine.at(line); }
    // The line that shows instruction `index`; its label line, when it has one, is the line
    // before.
    int lineOf(int index) const { return m_lineOfInstruction.at(index); }
    bool isLabelLine(int line) const { return lineOf(instructionAt(line)) != line; }

private:
    QString m_text;
    QList<int> m_instructionOfLine;
    QList<int> m_lineOfInstruction;
};
