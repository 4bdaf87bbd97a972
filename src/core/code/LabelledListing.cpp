// SPDX-License-Identifier: GPL-3.0-or-later
#include "LabelledListing.h"

#include "CodeListing.h"
#include "DumpText.h"

#include <algorithm>

LabelledListing::LabelledListing(const CodeListing& listing, Columns columns) {
    const bool characters = columns == Columns::WithCharacters;
    const QList<CodeInstruction>& instructions = listing.instructions();
    const QStringView plain = listing.text();
    // Room for a label line ("L9B03:" and its line feed) per eight instructions; the text
    // grows past that if need be.
    constexpr int kLabelLineLength = 7;
    const qsizetype labels = instructions.size() / 8;
    m_text.reserve(plain.size() + labels * kLabelLineLength);
    m_instructionOfLine.reserve(instructions.size() + labels);
    m_lineOfInstruction.resize(instructions.size());
    // Lines without a label or a target are copied from the listing's text, many at a time.
    qsizetype copied = 0;
    for (int index = 0; index < instructions.size(); ++index) {
        const CodeInstruction& instruction = instructions.at(index);
        // A line that names an address, or a table of words that may.
        const bool names = instruction.target >= 0 || instruction.kind == CodeKind::Words ||
                           instruction.kind == CodeKind::Pointers;
        if (instruction.labelled || names || characters) {
            m_text += plain.sliced(copied, instruction.lineStart - copied);
            copied = instruction.lineStart;
        }
        if (instruction.labelled) {
            m_text += listing.labelNameAt(instruction.offset);
            m_text += QLatin1String(":\n");
            m_instructionOfLine.append(index);
        }
        m_lineOfInstruction[index] = int(m_instructionOfLine.size());
        m_instructionOfLine.append(index);
        if (characters) {
            const QStringView line = listing.line(index);
            m_text += line.first(CodeListing::kTextColumn);
            const QByteArrayView bytes = listing.bytesOf(index).first(
                std::min<qsizetype>(listing.bytesOf(index).size(), kCharactersWidth));
            m_text += DumpText::asciiText(bytes).leftJustified(kCharactersWidth + 2);
            if (names) {
                listing.appendLabelledInstruction(m_text, index);
            } else {
                m_text += line.sliced(CodeListing::kTextColumn);
            }
            m_text += QLatin1Char('\n');
            copied = instruction.lineStart + instruction.lineLength + 1;
        } else if (names) {
            m_text += listing.line(index).first(CodeListing::kTextColumn);
            listing.appendLabelledInstruction(m_text, index);
            m_text += QLatin1Char('\n');
            copied = instruction.lineStart + instruction.lineLength + 1;
        }
    }
    m_text += plain.sliced(copied);
}
