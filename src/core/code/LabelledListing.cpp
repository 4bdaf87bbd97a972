// SPDX-License-Identifier: GPL-3.0-or-later
#include "LabelledListing.h"

#include "CodeListing.h"

LabelledListing::LabelledListing(const CodeListing& listing) {
    const QList<CodeInstruction>& instructions = listing.instructions();
    // Room for a label line ("L9B03:" and its line feed) per eight instructions; the text
    // grows past that if need be.
    constexpr int kLabelLineLength = 7;
    const qsizetype labels = instructions.size() / 8;
    m_text.reserve(listing.text().size() + labels * kLabelLineLength);
    const qsizetype lines = instructions.size() + labels;
    m_instructionOfLine.reserve(lines);
    m_lineOfInstruction.reserve(instructions.size());
    for (int index = 0; index < instructions.size(); ++index) {
        const CodeInstruction& instruction = instructions.at(index);
        if (instruction.labelled) {
            m_text += CodeListing::labelName(instruction.address);
            m_text += QLatin1String(":\n");
            m_instructionOfLine.append(index);
        }
        m_lineOfInstruction.append(int(m_instructionOfLine.size()));
        m_instructionOfLine.append(index);
        m_text += listing.line(index).first(CodeListing::kTextColumn);
        listing.appendLabelledInstruction(m_text, index);
        m_text += QLatin1Char('\n');
    }
}
