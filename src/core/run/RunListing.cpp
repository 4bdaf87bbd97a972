// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunListing.h"

#include "AddinHeader.h"
#include "CodeMap.h"

namespace {

constexpr int kCodeStart = CodeListing::kDefaultBase;

} // namespace

RunListing::RunListing(QByteArrayView image, const AddinHeader& header, const CodeMarks& marks)
    : m_listing(CodeListing::ofMap(image, CodeMap::of(image, header, marks, true))),
      m_labelled(m_listing) {
    m_lines = m_labelled.text().split(QLatin1Char('\n'));
    // The text ends in a line feed: the empty piece after it is no line.
    m_lines.removeLast();
}

QString RunListing::line(int line, bool breakpoint, bool next) const {
    QString text;
    text.reserve(kGutterWidth + m_lines.at(line).size());
    text += breakpoint ? kBreakpointMark : QLatin1Char(' ');
    text += next ? kNextMark : QLatin1Char(' ');
    text += QLatin1Char(' ');
    text += m_lines.at(line);
    return text;
}

std::optional<int> RunListing::lineOf(quint16 address) const {
    if (address < kCodeStart) {
        return std::nullopt;
    }
    const int index = m_listing.indexAt(m_listing.firstOffset() + (address - kCodeStart));
    if (index < 0) {
        return std::nullopt;
    }
    return m_labelled.lineOf(index);
}

std::optional<quint16> RunListing::addressOf(int line) const {
    if (line < 0 || line >= lineCount()) {
        return std::nullopt;
    }
    return m_listing.instructions().at(m_labelled.instructionAt(line)).address;
}

int RunListing::lineStartingAt(quint16 address) const {
    const std::optional<int> line = lineOf(address);
    if (!line) {
        return -1;
    }
    const int index = m_labelled.instructionAt(*line);
    return m_listing.instructions().at(index).address == address ? index : -1;
}

QString RunListing::labelAt(quint16 address) const {
    const int index = lineStartingAt(address);
    if (index < 0) {
        return {};
    }
    const int offset = m_listing.instructions().at(index).offset;
    return m_listing.map().labelAt(offset) != 0 ? m_listing.labelNameAt(offset) : QString();
}

QString RunListing::instructionAt(quint16 address) const {
    const int index = lineStartingAt(address);
    return index < 0 || m_listing.instructions().at(index).data
               ? QString()
               : m_listing.labelledInstructionText(index);
}

std::optional<quint16> RunListing::addressNamed(const QString& name) const {
    const CodeMap& map = m_listing.map();
    for (const CodeLabel& label : map.labels()) {
        if (m_listing.labelNameAt(label.offset).compare(name, Qt::CaseInsensitive) == 0) {
            return map.addressOf(label.offset);
        }
    }
    return std::nullopt;
}
