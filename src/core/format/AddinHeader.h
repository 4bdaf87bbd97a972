// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// One text field of the header (class, name or description) as far as it could be read.
struct HeaderField {
    int start = 0;           // image index of the first byte (the image's first byte is 1)
    QByteArray bytes;        // the bytes read, the terminator excluded
    bool terminated = false; // its terminator was found before the end of the image

    QString text() const;
    int length() const { return int(bytes.size()); }
    // How many characters a patch may write: a field without its terminator has no known
    // length, so it takes none.
    int patchableLength() const { return terminated ? length() : 0; }
};

enum class HeaderProblem {
    None,
    NoSignature,          // the image does not begin with "ApplicationName:"
    ShorterThanSignature, // the image ends inside the signature
    ClassUnterminated,
    ClassLineTruncated, // a class line alone (not an add-in) whose line feed is missing
    NameUnterminated,
    DescriptionUnterminated,
    WordsTruncated,
    IconTruncated,
};

// The parsed add-in header of an image. The parser reads as far as the bytes allow and
// records what went wrong; it never throws and never reads outside the image.
struct AddinHeader {
    static constexpr int kSignatureLength = 16;
    static constexpr int kIconBytes = 160;
    static constexpr int kIconWidth = 40;
    static constexpr int kIconHeight = 32;
    static constexpr int kIconRowBytes = 5;
    // The class line and the name end in a carriage return and, as every tool writes them, a
    // line feed.
    static constexpr char kCarriageReturn = '\r';
    static constexpr char kLineFeed = '\n';

    HeaderProblem problem = HeaderProblem::None;

    std::optional<HeaderField> classLine;
    std::optional<QString> addinType; // upper-cased text after the class text's last ':'
    std::optional<HeaderField> name;
    std::optional<HeaderField> description;
    std::optional<quint16> word1;
    std::optional<quint16> word2;
    QByteArray icon; // the icon bytes read, 160 when complete
    int iconStart = 0;

    int headSize = 0; // image index of the last header byte; 0 unless the header is complete
    int org = 0;      // load address; 0 unless a complete add-in header was read
    int codeSize = 0; // approximate code size; 0 unless a complete add-in header was read

    static AddinHeader parse(QByteArrayView image);

    bool isAddin() const { return addinType && *addinType == QLatin1String("ADDIN"); }
    bool complete() const { return problem == HeaderProblem::None; }
    bool signatureOk() const;

    // A plain-words description of `problem`; empty when there is none.
    QString problemText() const;
};

// The header bytes an add-in with these fields starts with: the inverse of the parser.
QByteArray buildAddinHeader(const QByteArray& classText, const QByteArray& name,
                            const QByteArray& description, quint16 word1, quint16 word2,
                            const QByteArray& icon);
