// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinSource.h"

#include "AddinHeader.h"
#include "AddinImage.h"
#include "CodeListing.h"
#include "CodePadding.h"
#include "ListingText.h"
#include "SourceLines.h"
#include "TextRun.h"

#include <optional>

namespace {

using namespace SourceLines;

constexpr int kSignatureLength = AddinHeader::kSignatureLength;
constexpr int kIconRows = AddinHeader::kIconHeight;
constexpr int kIconRowBytes = AddinHeader::kIconRowBytes;

// Word 1 as the code's end minus its start, where it is the code's length and only padding
// follows: the labels that say so.
struct CodeLength {
    QString start; // "L8000"
    QString end;   // "L9FDF"
    int endOffset = 0;
};

std::optional<CodeLength> codeLengthOf(QByteArrayView image, const AddinHeader& header,
                                       const CodeListing& listing) {
    const CodePadding padding = CodePadding::of(image, header);
    if (!padding.padded() || padding.codeEnd <= header.headSize ||
        padding.codeEnd > listing.endOffset() || listing.isEmpty()) {
        return std::nullopt;
    }
    return CodeLength{listing.labelNameAt(listing.firstOffset()),
                      listing.labelNameAt(padding.codeEnd), padding.codeEnd};
}

void appendHeader(QByteArray& text, QByteArrayView image, const AddinHeader& header,
                  const std::optional<CodeLength>& length) {
    text += "\n; The header\n";
    text += kIndent;
    text += "org ";
    appendHex(text, CodeListing::kDefaultBase - header.headSize, 4);
    appendComment(text, "so that the code starts at $8000");
    text += '\n';
    // Each field with its terminator, as the file holds it: the byte after a carriage return
    // is whatever the file has there.
    const int nameStart = header.name->start - 1;
    const int descriptionStart = header.description->start - 1;
    const int wordsStart = header.iconStart - 5;
    const int iconStart = header.iconStart - 1;
    appendText(text, image.first(kSignatureLength));
    appendText(text, image.sliced(kSignatureLength, nameStart - kSignatureLength), "class");
    appendText(text, image.sliced(nameStart, descriptionStart - nameStart), "name");
    appendText(text, image.sliced(descriptionStart, wordsStart - descriptionStart), "description");
    for (int word = 0; word < 2; ++word) {
        text += kIndent;
        text += "defw ";
        if (word == 0 && length) {
            appendAscii(text, length->end);
            text += '-';
            appendAscii(text, length->start);
            appendComment(text, "word 1: the code's length");
        } else {
            const int at = wordsStart + 2 * word;
            appendHex(text, quint8(image[at]) | quint8(image[at + 1]) << 8, 4);
            appendComment(text, word == 0 ? "word 1" : "word 2");
        }
        text += '\n';
    }
    // The same 32 rows of five bytes as the icon-code window.
    text += "; The icon, 40 x 32 pixels, a row a line\n";
    for (int row = 0; row < kIconRows; ++row) {
        text += kIndent;
        appendBytes(text, image.sliced(iconStart + row * kIconRowBytes, kIconRowBytes));
        text += '\n';
    }
}

// Writes the lines of the code and the padding.
class LineWriter {
public:
    LineWriter(QByteArray& text, const CodeListing& listing, bool addresses)
        : m_text(text), m_listing(listing), m_addresses(addresses) {}

    void label(const QString& name, int offset) {
        appendAscii(m_text, name);
        m_text += ':';
        appendComment(m_text, addressOf(offset));
        m_text += '\n';
    }
    // Starts a line: the indent, then what the caller adds.
    void start() { m_text += kIndent; }
    // Ends a line that holds the bytes at `offset`, with its comment.
    void end(int offset, QStringView comment = {}) {
        QByteArray said = m_addresses ? addressOf(offset) : QByteArray();
        if (!comment.isEmpty()) {
            // The system calls' names are ASCII; an author's comment may be any text.
            said += (said.isEmpty() ? "" : " ") + comment.toUtf8();
        }
        if (!said.isEmpty()) {
            appendComment(m_text, said);
        }
        m_text += '\n';
    }
    void line(int index);
    void fill(int offset, int length, quint8 byte, const std::optional<CodeLength>& keep = {},
              QStringView comment = {});

private:
    QByteArray addressOf(int offset) const {
        QByteArray address;
        appendHex(address, m_listing.map().addressOf(offset), 4);
        return address;
    }
    void instruction(int index);

    QByteArray& m_text;
    const CodeListing& m_listing;
    bool m_addresses = false;
    QString m_labelled; // an instruction's labelled text, made again for each line
};

void LineWriter::line(int index) {
    const CodeInstruction& line = m_listing.instructions().at(index);
    if (line.labelled) {
        label(m_listing.labelNameAt(line.offset), line.offset);
    }
    const QByteArrayView bytes = m_listing.bytesOf(index);
    if (line.kind == CodeKind::Code && !line.data) {
        instruction(index);
        return;
    }
    if (ListingText::isRun(line.kind, line.length)) {
        fill(line.offset, line.length, quint8(bytes[0]), {}, m_listing.authorComment(index));
        return;
    }
    start();
    if (line.kind == CodeKind::Text && TextRun::quotable(bytes[0])) {
        m_text += "defm \"";
        m_text += bytes;
        m_text += '"';
    } else if ((line.kind == CodeKind::Words || line.kind == CodeKind::Pointers) &&
               line.length % 2 == 0) {
        // ".dw L9113,$0005" as the listing names its words; only a comment holds a semicolon.
        m_text += "defw ";
        const QString words = m_listing.labelledInstructionText(index);
        const qsizetype comment = words.indexOf(u';');
        appendAscii(m_text,
                    QStringView(words).sliced(4, (comment < 0 ? words.size() : comment - 1) - 4));
    } else {
        appendBytes(m_text, bytes);
    }
    end(line.offset, m_listing.authorComment(index));
}

void LineWriter::instruction(int index) {
    const CodeInstruction& line = m_listing.instructions().at(index);
    const QStringView plain = m_listing.instructionText(index);
    start();
    if (!spelledAlike(line, plain)) {
        appendBytes(m_text, line.bytes());
        end(line.offset, plain);
        return;
    }
    m_labelled.clear();
    m_listing.appendLabelledInstruction(m_labelled, index);
    // Only a comment holds a semicolon in an instruction's line.
    const QStringView labelled(m_labelled);
    const qsizetype comment = labelled.indexOf(u';');
    appendAscii(m_text, comment < 0 ? labelled : labelled.first(comment - 1));
    end(line.offset, comment < 0 ? QStringView() : labelled.sliced(comment + 2));
}

// `length` bytes of one value; with `keep`, as the length that keeps the file's length
// whatever the code's.
void LineWriter::fill(int offset, int length, quint8 byte, const std::optional<CodeLength>& keep,
                      QStringView comment) {
    start();
    m_text += "defs ";
    if (keep) {
        appendHex(m_text, offset + length - m_listing.firstOffset(), 4);
        m_text += "-(";
        appendAscii(m_text, keep->end);
        m_text += '-';
        appendAscii(m_text, keep->start);
        m_text += ')';
    } else {
        appendHex(m_text, length, 4);
    }
    m_text += ',';
    appendHex(m_text, byte, 2);
    end(offset, comment);
}

void appendBody(QByteArray& text, QByteArrayView image, const CodeListing& listing,
                const std::optional<CodeLength>& length, bool addresses) {
    LineWriter writer(text, listing, addresses);
    const QList<CodeInstruction>& lines = listing.instructions();
    int index = 0;
    if (!listing.isEmpty() && !lines.first().padding) {
        text += "\n; The code\n";
        for (; index < lines.size() && !lines.at(index).padding; ++index) {
            writer.line(index);
        }
    }
    const int tail = int(image.size()) - listing.endOffset();
    if (length && length->endOffset == listing.endOffset()) {
        writer.label(length->end, length->endOffset);
    }
    if (index == lines.size() && tail == 0) {
        return;
    }
    text += "\n; The padding\n";
    // The first run after the code's end takes up what the code's length does not.
    bool keeping = length.has_value();
    for (; index < lines.size(); ++index) {
        const CodeInstruction& run = lines.at(index);
        const bool codeEnd = length && run.offset == length->endOffset;
        if (run.labelled || codeEnd) {
            writer.label(listing.labelNameAt(run.offset), run.offset);
        }
        writer.fill(run.offset, run.length, quint8(listing.bytesOf(index)[0]),
                    keeping ? length : std::nullopt, listing.authorComment(index));
        keeping = false;
    }
    if (tail > 0) {
        writer.fill(listing.endOffset(), tail, quint8(AddinImage::kPadByte),
                    keeping ? length : std::nullopt);
    }
}

} // namespace

namespace AddinSource {

QByteArray ofMap(QByteArrayView image, const AddinHeader& header, const CodeMap& map,
                 bool addresses) {
    if (!header.complete() || !header.isAddin()) {
        return {};
    }
    const CodeListing listing = CodeListing::ofMap(image, map);
    const std::optional<CodeLength> length = codeLengthOf(image, header, listing);
    QByteArray text;
    // Lines of about 25 characters: an instruction, a label or a row of data.
    text.reserve(1024 + listing.instructions().size() * (addresses ? 45 : 25));
    text += "; An add-in as Z80 assembler source, written by Mobrin. Assembled by\n"
            ";   z80asm -o ADDIN.rex THIS.asm     or     pasmo THIS.asm ADDIN.rex\n"
            "; it gives back the add-in byte for byte.\n";
    appendHeader(text, image, header, length);
    appendBody(text, image, listing, length, addresses);
    return text;
}

QByteArray of(QByteArrayView image, const AddinHeader& header, bool addresses,
              const CodeMarks& marks) {
    return ofMap(image, header, CodeMap::of(image, header, marks), addresses);
}

QByteArray of(QByteArrayView image) {
    return of(image, AddinHeader::parse(image));
}

} // namespace AddinSource
