// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinCheck.h"

#include "AddinHeader.h"
#include "AddinImage.h"
#include "CodeOrigin.h"
#include "CodePadding.h"
#include "CodePage.h"
#include "NumberForm.h"

#include <algorithm>
#include <utility>

namespace {

using Severity = AddinFinding::Severity;

constexpr char kCarriageReturn = AddinHeader::kCarriageReturn;
constexpr char kLineFeed = AddinHeader::kLineFeed;

QString hexByte(quint8 byte) {
    return QLatin1Char('$') + QString::number(byte, 16).toUpper().rightJustified(2, '0');
}

bool isControl(char byte) {
    return CodePage::toChar(quint8(byte)).category() == QChar::Other_Control;
}

class Findings {
public:
    void add(const char* id, Severity severity, qint64 offset, const QString& sentence) {
        m_list.append({QLatin1String(id), severity, offset, sentence});
    }

    // The first control character of a text field, where a CR LF in a description is a
    // warning of its own.
    void controlIn(const HeaderField& field, const char* label, bool lineBreaksAllowed) {
        bool controlFound = false;
        bool lineBreakFound = false;
        for (qsizetype i = 0; i < field.bytes.size(); ++i) {
            const qint64 offset = field.start - 1 + i;
            const char byte = field.bytes[i];
            if (lineBreaksAllowed && byte == kCarriageReturn && i + 1 < field.bytes.size() &&
                field.bytes[i + 1] == kLineFeed) {
                if (!std::exchange(lineBreakFound, true)) {
                    add("description-crlf", Severity::Warning, offset,
                        QStringLiteral("The description holds a line break (CR LF)."));
                }
                ++i;
            } else if (isControl(byte) && !std::exchange(controlFound, true)) {
                add("control-character", Severity::Error, offset,
                    QStringLiteral("The %1 holds the control character %2.")
                        .arg(QLatin1String(label), hexByte(quint8(byte))));
            }
        }
    }

    // The byte after the carriage return that ends `field`, which the parser passes over.
    void lineFeedAfter(QByteArrayView image, const HeaderField& field, const char* label) {
        const qint64 offset = field.start + field.length();
        const auto byte = quint8(image[offset]);
        if (byte != quint8(kLineFeed)) {
            add("line-feed-missing", Severity::Warning, offset,
                QStringLiteral("The byte after the carriage return of the %1 is %2, not a line "
                               "feed ($0A).")
                    .arg(QLatin1String(label), hexByte(byte)));
        }
    }

    QList<AddinFinding> sorted() {
        std::stable_sort(
            m_list.begin(), m_list.end(),
            [](const AddinFinding& a, const AddinFinding& b) { return a.offset < b.offset; });
        return m_list;
    }

private:
    QList<AddinFinding> m_list;
};

// Where the header ends early: the start of the part the file cuts off.
qint64 damageOffset(const AddinHeader& header, qint64 imageSize) {
    const auto end = [](const std::optional<HeaderField>& field) {
        return qint64(field->start) - 1 + field->length();
    };
    switch (header.problem) {
    case HeaderProblem::ClassUnterminated:
        return AddinHeader::kSignatureLength;
    case HeaderProblem::ClassLineTruncated:
        return imageSize;
    case HeaderProblem::NameUnterminated:
        return header.name->start - 1;
    case HeaderProblem::DescriptionUnterminated:
        return header.description->start - 1;
    case HeaderProblem::WordsTruncated:
        return end(header.description) + 1;
    case HeaderProblem::IconTruncated:
        return header.iconStart - 1;
    case HeaderProblem::None:
    case HeaderProblem::NoSignature:
    case HeaderProblem::ShorterThanSignature:
        break;
    }
    return 0;
}

void checkFields(QByteArrayView image, const AddinHeader& header, Findings& findings) {
    findings.controlIn(*header.classLine, "class text", false);
    findings.lineFeedAfter(image, *header.classLine, "class line");
    if (header.name->bytes.isEmpty()) {
        findings.add("empty-name", Severity::Error, header.name->start - 1,
                     QStringLiteral("The name is empty."));
    }
    findings.controlIn(*header.name, "name", false);
    findings.lineFeedAfter(image, *header.name, "name");
    findings.controlIn(*header.description, "description", true);
    if (header.icon.count('\0') == header.icon.size()) {
        findings.add("white-icon", Severity::Warning, header.iconStart - 1,
                     QStringLiteral("The icon is all white: every icon byte is 0."));
    }
}

void checkOrigin(QByteArrayView image, int codeStart, int codeEnd, Findings& findings) {
    const auto origin = CodeOrigin::misplaced(image, codeStart, codeEnd);
    if (!origin) {
        return;
    }
    const QString address = NumberForm::hexWord(origin->origin);
    findings.add("code-origin", Severity::Warning, origin->firstOutside,
                 QStringLiteral("Of its %1 CALL and JP targets, %2 lie outside the code, which "
                                "runs from $8000; from %3, %4 would land on its instructions: "
                                "assembled for %3?")
                     .arg(origin->targets)
                     .arg(origin->outside)
                     .arg(address)
                     .arg(origin->landing));
}

void checkCode(QByteArrayView image, const AddinHeader& header, Findings& findings) {
    const int afterHeader = int(image.size()) - header.headSize;
    if (header.codeSize == 0) {
        findings.add("no-code", Severity::Error, header.headSize,
                     afterHeader == 0
                         ? QStringLiteral("There is no code: the file ends with the header.")
                         : QStringLiteral("There is no code: every byte after the header is "
                                          "0xFF."));
    } else if (CodePadding::onlyPaddingFrom(image, header.headSize)) {
        findings.add("no-code", Severity::Error, header.headSize,
                     QStringLiteral("There is no code: every byte after the header is padding "
                                    "(00 bytes, then FF bytes)."));
    }
    const CodePadding padding = CodePadding::of(image, header);
    checkOrigin(image, header.headSize,
                padding.padded() ? padding.codeEnd : header.headSize + header.codeSize, findings);
    if (padding.padded()) {
        return;
    }
    const int word1 = *header.word1;
    const QString word =
        QStringLiteral("Word 1 is %1 (%2)").arg(NumberForm::hexWord(word1)).arg(word1);
    const qint64 offset = header.iconStart - 1 - 4;
    if (padding.fit == CodePadding::Fit::PastTheEnd) {
        findings.add("word1-mismatch", Severity::Warning, offset,
                     QStringLiteral("%1, more than the %2 bytes after the header.")
                         .arg(word)
                         .arg(afterHeader));
        return;
    }
    const int stray = padding.strayOffset();
    findings.add("word1-mismatch", Severity::Warning, offset,
                 QStringLiteral("%1, but code follows it: the byte at %2 is %3, not padding "
                                "(00 bytes, then FF bytes), and the handheld loads only word "
                                "1's length.")
                     .arg(word, NumberForm::hexWord(stray), hexByte(quint8(image[stray]))));
}

} // namespace

QString AddinFinding::severityText() const {
    return isError() ? QStringLiteral("error") : QStringLiteral("warning");
}

QString AddinFinding::line() const {
    return QStringLiteral("%1 %2 at %3: %4")
        .arg(severityText(), id, NumberForm::hexWord(int(offset)), sentence);
}

namespace AddinCheck {

QList<AddinFinding> of(QByteArrayView image, qint64 fileSize) {
    Findings findings;
    const qint64 most = AddinImage::kMaxFileSize;
    if (fileSize > most) {
        findings.add("too-large", Severity::Error, most,
                     QStringLiteral("The file has %1 bytes, more than the %2 an add-in may have; "
                                    "Mobrin does not open it.")
                         .arg(fileSize)
                         .arg(most));
    }
    const AddinHeader header = AddinHeader::parse(image);
    if (header.problem == HeaderProblem::NoSignature) {
        findings.add("not-addin", Severity::Error, 0,
                     QStringLiteral("The file does not begin with \"ApplicationName:\", so it is "
                                    "not an add-in."));
        return findings.sorted();
    }
    if (!header.complete()) {
        findings.add("damaged-header", Severity::Error, damageOffset(header, image.size()),
                     header.problemText());
        return findings.sorted();
    }
    if (!header.isAddin()) {
        findings.add("not-addin", Severity::Error, AddinHeader::kSignatureLength,
                     QStringLiteral("The class type is \"%1\", not \"ADDIN\", so the file is not "
                                    "an add-in.")
                         .arg(*header.addinType));
        return findings.sorted();
    }
    checkFields(image, header, findings);
    if (fileSize == image.size() && fileSize <= most) {
        checkCode(image, header, findings);
    }
    if (fileSize < AddinImage::kPaddedSize) {
        findings.add("short-file", Severity::Warning, fileSize,
                     QStringLiteral("The file has %1 bytes, fewer than %2; Mobrin offers to pad "
                                    "it with 0xFF bytes when it opens it.")
                         .arg(fileSize)
                         .arg(AddinImage::kPaddedSize));
    }
    return findings.sorted();
}

QString report(const QList<AddinFinding>& findings) {
    if (findings.isEmpty()) {
        return QStringLiteral("No findings.");
    }
    QStringList lines;
    for (const AddinFinding& finding : findings) {
        lines << finding.line();
    }
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace AddinCheck
