// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinCheck.h"
#include "AddinHeader.h"
#include "CodePage.h"
#include "IconBitmap.h"
#include "Int2Bin.h"
#include "NumberForm.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

namespace {

const QByteArray kSignature = "ApplicationName:";

// A header laid out by hand, byte for byte, independent of buildAddinHeader.
QByteArray addinHeader(const QByteArray& classText, const QByteArray& name,
                       const QByteArray& description, const QByteArray& words = QByteArray(4, 0),
                       const QByteArray& icon = QByteArray(160, 0)) {
    return kSignature + classText + "\r\n" + name + "\r\n" + description + QByteArray(1, 0) +
           words + icon;
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (const int value : values) {
        result.append(char(value));
    }
    return result;
}

// Code bytes that are never 0xFF except inside, where the scan must step over them.
QByteArray code(int length) {
    QByteArray result;
    for (int i = 0; i < length; ++i) {
        result.append(i % 7 == 3 ? char(0xFF) : char(i % 0xFF));
    }
    if (length > 0) {
        result[length - 1] = char(0x42);
    }
    return result;
}

QByteArray padded(QByteArray image, int size) {
    image.append(size - image.size(), char(0xFF));
    return image;
}

// Any bytes, or any but `excluded` (a terminator) when it is given.
QByteArray randomBytes(QRandomGenerator& random, qint64 length, int excluded = -1) {
    QByteArray result;
    while (result.size() < length) {
        const int byte = random.bounded(256);
        if (byte != excluded) {
            result.append(char(byte));
        }
    }
    return result;
}

QByteArray randomCase(QRandomGenerator& random, const QByteArray& word) {
    QByteArray result = word;
    for (char& c : result) {
        c = random.bounded(2) ? char(std::toupper(c)) : char(std::tolower(c));
    }
    return result;
}

// A sound add-in of 8192 bytes: header 205 bytes, word 1 (the length of the code) at offset 41,
// the icon at 45.
QByteArray checkable(const QByteArray& classText = "Addin", const QByteArray& name = "Clock",
                     const QByteArray& description = "Shows time", int code = 100,
                     int size = 8192) {
    QByteArray bytes = buildAddinHeader(classText, name, description, code, 0,
                                        QByteArray(AddinHeader::kIconBytes, 0x3C));
    bytes += QByteArray(code, 'c');
    return bytes + QByteArray(qMax<qsizetype>(0, size - bytes.size()), '\xFF');
}

QByteArray with(QByteArray bytes, int offset, char byte) {
    bytes[offset] = byte;
    return bytes;
}

} // namespace

class TestAddinHeader : public QObject {
    Q_OBJECT

private slots:
    void addinLayout_data();
    void addinLayout();
    void nonAddinClass_data();
    void nonAddinClass();
    void signature_data();
    void signature();
    void words_data();
    void words();
    void int2Bin_data();
    void int2Bin();
    void iconTopRow();
    void iconCoversTheWholeBox();
    void codeSize_data();
    void codeSize();
    void everyPrefixIsDamaged_data();
    void everyPrefixIsDamaged();
    void roundTrip();
    void arbitraryBytesNeverBreakTheParser();
    void realSample();
    void checkFindings_data();
    void checkFindings();
};

void TestAddinHeader::addinLayout_data() {
    QTest::addColumn<QByteArray>("classText");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<int>("headSize");
    QTest::addColumn<int>("nameStart");
    QTest::addColumn<int>("descStart");
    QTest::addColumn<int>("org");
    QTest::addColumn<QString>("orgHex");

    QTest::newRow("smallest") << QByteArray("ADDIN") << QByteArray() << QByteArray() << 190 << 24
                              << 26 << 32580 << "$7F44";
    QTest::newRow("Clock, Shows time")
        << QByteArray("ADDIN") << QByteArray("Clock") << QByteArray("Shows time") << 205 << 24 << 31
        << 32565 << "$7F35";
    QTest::newRow("class Addin") << QByteArray("Addin") << QByteArray("Clock")
                                 << QByteArray("Shows time") << 205 << 24 << 31 << 32565 << "$7F35";
    QTest::newRow("class Game:addin")
        << QByteArray("Game:addin") << QByteArray("Clock") << QByteArray("Shows time") << 210 << 29
        << 36 << 32560 << "$7F30";
    QTest::newRow("two colons") << QByteArray("a:b:ADDIN") << QByteArray("N") << QByteArray("D")
                                << 196 << 28 << 31 << 32574 << "$7F3E";
    QTest::newRow("empty name") << QByteArray("ADDIN") << QByteArray() << QByteArray("Shows time")
                                << 200 << 24 << 26 << 32570 << "$7F3A";
    QTest::newRow("description with CR LF")
        << QByteArray("ADDIN") << QByteArray("Clock") << QByteArray("Line one\r\nLine two\r\n")
        << 215 << 24 << 31 << 32555 << "$7F2B";
    QTest::newRow("name with line feed and bytes above 0x7F")
        << QByteArray("ADDIN") << QByteArray("a\nb\x96\xFF") << QByteArray("\x80\x0D") << 197 << 24
        << 31 << 32573 << "$7F3D";
}

void TestAddinHeader::addinLayout() {
    QFETCH(QByteArray, classText);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, description);
    QFETCH(int, headSize);
    QFETCH(int, nameStart);
    QFETCH(int, descStart);
    QFETCH(int, org);
    QFETCH(QString, orgHex);

    // One code byte right after the header: it is the byte at index HeadSize + 1.
    const QByteArray image = addinHeader(classText, name, description) + "\x01";
    const AddinHeader header = AddinHeader::parse(image);

    QCOMPARE(header.problem, HeaderProblem::None);
    QVERIFY(header.complete());
    QVERIFY(header.isAddin());
    QCOMPARE(*header.addinType, QStringLiteral("ADDIN"));
    QCOMPARE(header.classLine->bytes, classText);
    QCOMPARE(header.classLine->text(), QString::fromLatin1(classText));
    QCOMPARE(header.name->bytes, name);
    QCOMPARE(header.name->start, nameStart);
    QCOMPARE(header.name->length(), int(name.size())); // the name box's MaxLength
    QCOMPARE(header.name->text().size(), name.size());
    QCOMPARE(header.description->bytes, description);
    QCOMPARE(header.description->start, descStart);
    QCOMPARE(header.description->length(), int(description.size()));
    QCOMPARE(header.headSize, headSize);
    QCOMPARE(header.headSize, int(image.size()) - 1);
    QCOMPARE(header.org, org);
    QCOMPARE(NumberForm::plain(header.org, NumberForm::Base::Hex), orgHex);
    QCOMPARE(NumberForm::plain(header.org, NumberForm::Base::Decimal), QString::number(org));
    QCOMPARE(header.codeSize, 1);
    QCOMPARE(header.iconStart, headSize - 159);
}

void TestAddinHeader::nonAddinClass_data() {
    QTest::addColumn<QByteArray>("classText");
    QTest::addColumn<QString>("addinType");
    QTest::addColumn<int>("headSize");

    QTest::newRow("DATA") << QByteArray("DATA") << "DATA" << 22;
    QTest::newRow("Game:data") << QByteArray("Game:data") << "DATA" << 27;
    QTest::newRow("addin:Game") << QByteArray("addin:Game") << "GAME" << 28;
    QTest::newRow("nothing after the colon") << QByteArray("ADDIN:") << "" << 24;
    QTest::newRow("empty class") << QByteArray() << "" << 18;
    QTest::newRow("trailing space") << QByteArray("ADDIN ") << "ADDIN " << 24;
}

void TestAddinHeader::nonAddinClass() {
    QFETCH(QByteArray, classText);
    QFETCH(QString, addinType);
    QFETCH(int, headSize);

    // Bytes after the class line that would parse as name and words if they were read.
    const QByteArray image = kSignature + classText + "\r\nName\r\nDesc" + QByteArray(1, 0) +
                             QByteArray("\x34\x12\x00\x00", 4) + QByteArray(200, char(0x81));
    const AddinHeader header = AddinHeader::parse(image);

    QCOMPARE(header.problem, HeaderProblem::None);
    QVERIFY(!header.isAddin());
    QCOMPARE(header.classLine->bytes, classText);
    QCOMPARE(*header.addinType, addinType);
    QCOMPARE(header.headSize, headSize);
    QVERIFY(!header.name);
    QVERIFY(!header.description);
    QVERIFY(!header.word1);
    QVERIFY(!header.word2);
    QVERIFY(header.icon.isEmpty());
    QCOMPARE(header.org, 0);
    QCOMPARE(header.codeSize, 0);
}

void TestAddinHeader::signature_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<HeaderProblem>("problem");

    const QByteArray rest = "ADDIN\r\nClock\r\nShows time" + QByteArray(165, 0);
    QTest::newRow("lower case") << "applicationname:" + rest << HeaderProblem::NoSignature;
    QTest::newRow("first letter lower case")
        << "applicationName:" + rest << HeaderProblem::NoSignature;
    QTest::newRow("semicolon") << "ApplicationName;" + rest << HeaderProblem::NoSignature;
    QTest::newRow("leading space") << " ApplicationName:" + rest << HeaderProblem::NoSignature;
    QTest::newRow("plain text") << QByteArray("Just some text that is long enough.")
                                << HeaderProblem::NoSignature;
    QTest::newRow("all 0xFF") << QByteArray(8192, char(0xFF)) << HeaderProblem::NoSignature;
    QTest::newRow("short and different") << QByteArray("Appl!") << HeaderProblem::NoSignature;
    QTest::newRow("empty") << QByteArray() << HeaderProblem::ShorterThanSignature;
    QTest::newRow("start of the signature")
        << QByteArray("ApplicationName") << HeaderProblem::ShorterThanSignature;
}

void TestAddinHeader::signature() {
    QFETCH(QByteArray, image);
    QFETCH(HeaderProblem, problem);

    const AddinHeader header = AddinHeader::parse(image);
    QCOMPARE(header.problem, problem);
    QVERIFY(!header.signatureOk());
    QVERIFY(!header.complete());
    QVERIFY(!header.classLine);
    QVERIFY(!header.addinType);
    QCOMPARE(header.headSize, 0);
    if (problem == HeaderProblem::NoSignature) {
        QCOMPARE(header.problemText(), QStringLiteral("Not a REX AddIn file"));
    } else {
        QVERIFY(!header.problemText().isEmpty());
    }
}

void TestAddinHeader::words_data() {
    QTest::addColumn<QByteArray>("wordBytes");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("decimal");

    QTest::newRow("34 12") << bytes({0x34, 0x12}) << 0x1234 << "$1234"
                           << "4660";
    QTest::newRow("00 00") << bytes({0x00, 0x00}) << 0 << "$0000"
                           << "0";
    QTest::newRow("FF 7F") << bytes({0xFF, 0x7F}) << 0x7FFF << "$7FFF"
                           << "32767";
    QTest::newRow("00 80") << bytes({0x00, 0x80}) << 0x8000 << "$8000"
                           << "32768";
    QTest::newRow("FF FF") << bytes({0xFF, 0xFF}) << 0xFFFF << "$FFFF"
                           << "65535";
    QTest::newRow("0A 00") << bytes({0x0A, 0x00}) << 10 << "$000A"
                           << "10";
}

void TestAddinHeader::words() {
    QFETCH(QByteArray, wordBytes);
    QFETCH(int, value);
    QFETCH(QString, hex);
    QFETCH(QString, decimal);

    // The word under test sits once in each position, beside a different one.
    const QByteArray other = bytes({0x01, 0x02});
    for (const bool first : {true, false}) {
        const QByteArray words = first ? wordBytes + other : other + wordBytes;
        const AddinHeader header =
            AddinHeader::parse(addinHeader("ADDIN", "Clock", "Shows time", words));
        QCOMPARE(header.problem, HeaderProblem::None);
        const quint16 word = first ? *header.word1 : *header.word2;
        const quint16 neighbour = first ? *header.word2 : *header.word1;
        QCOMPARE(int(word), value);
        QCOMPARE(neighbour, quint16(0x0201));
        QCOMPARE(NumberForm::word(word, NumberForm::Base::Hex), hex);
        QCOMPARE(NumberForm::word(word, NumberForm::Base::Decimal), decimal);
    }
}

void TestAddinHeader::int2Bin_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("bits");

    QTest::newRow("5") << 5 << "00000101";
    QTest::newRow("A0") << 0xA0 << "10100000";
    QTest::newRow("81") << 0x81 << "10000001";
    QTest::newRow("00") << 0x00 << "00000000";
    QTest::newRow("FF") << 0xFF << "11111111";
    QTest::newRow("7F") << 0x7F << "01111111";
}

void TestAddinHeader::int2Bin() {
    QFETCH(int, byte);
    QFETCH(QString, bits);
    QCOMPARE(Int2Bin(quint8(byte)), bits);
}

void TestAddinHeader::iconTopRow() {
    QByteArray icon(160, 0);
    icon[0] = char(0x81);
    icon[159] = char(0x01); // the last pixel of the bottom row
    const AddinHeader header =
        AddinHeader::parse(addinHeader("ADDIN", "Clock", "Shows time", QByteArray(4, 0), icon));
    QCOMPARE(header.icon, icon);

    QImage pixels = IconBitmap::cleared(QColor(212, 208, 200));
    IconBitmap::paint(pixels, header.icon);
    QCOMPARE(pixels.size(), QSize(40, 32));
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    QCOMPARE(pixels.pixel(0, 0), black);
    QCOMPARE(pixels.pixel(7, 0), black);
    for (int x = 1; x <= 6; ++x) {
        QCOMPARE(pixels.pixel(x, 0), white);
    }
    QCOMPARE(pixels.pixel(8, 0), white);
    QCOMPARE(pixels.pixel(0, 1), white);
    QCOMPARE(pixels.pixel(39, 31), black);
    QCOMPARE(pixels.pixel(38, 31), white);
}

void TestAddinHeader::iconCoversTheWholeBox() {
    // A distinct byte in every place: each pixel must come from its own bit.
    QByteArray icon;
    for (int i = 0; i < 160; ++i) {
        icon.append(char((i * 73 + 11) & 0xFF));
    }
    QImage pixels = IconBitmap::cleared(QColor(Qt::red));
    IconBitmap::paint(pixels, icon);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool set = (quint8(icon[y * 5 + x / 8]) >> (7 - x % 8)) & 1;
            QCOMPARE(pixels.pixel(x, y), set ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
}

void TestAddinHeader::codeSize_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<int>("headSize");
    QTest::addColumn<int>("codeSize");

    const QByteArray smallest = addinHeader("ADDIN", "", "");
    const QByteArray clock = addinHeader("ADDIN", "Clock", "Shows time");
    QTest::newRow("8192 bytes, code up to index 1000")
        << padded(smallest + code(810), 8192) << 190 << 810;
    QTest::newRow("all 0xFF after the header") << padded(smallest, 8192) << 190 << 0;
    QTest::newRow("header alone") << smallest << 190 << 0;
    QTest::newRow("icon ends in 0xFF, code all 0xFF")
        << padded(addinHeader("ADDIN", "", "", QByteArray(4, 0), QByteArray(160, char(0xFF))), 8192)
        << 190 << 0;
    QByteArray lastByteCode = padded(smallest + code(10), 8192);
    lastByteCode[8191] = 0x00;
    QTest::newRow("last byte not 0xFF") << lastByteCode << 190 << 8002;
    QTest::newRow("one code byte, 0x00") << clock + QByteArray(1, 0) << 205 << 1;
    QTest::newRow("unpadded 5000 bytes") << clock + code(4795) << 205 << 4795;
    QTest::newRow("9000 bytes") << padded(clock + code(8795), 9000) << 205 << 8795;
    QByteArray gaps = padded(clock + code(100), 3000);
    gaps[2000] = char(0x7E);
    QTest::newRow("a lone byte far after the code") << gaps << 205 << 1796;
}

void TestAddinHeader::codeSize() {
    QFETCH(QByteArray, image);
    QFETCH(int, headSize);
    QFETCH(int, codeSize);

    const AddinHeader header = AddinHeader::parse(image);
    QCOMPARE(header.problem, HeaderProblem::None);
    QCOMPARE(header.headSize, headSize);
    QCOMPARE(header.codeSize, codeSize);
    // The value comes from the image alone: the same image always gives the same size.
    QCOMPARE(AddinHeader::parse(image).codeSize, codeSize);
}

void TestAddinHeader::everyPrefixIsDamaged_data() {
    QTest::addColumn<QByteArray>("full");
    QTest::addColumn<int>("classEnd"); // offset of the class line's CR
    QTest::addColumn<int>("nameEnd");  // offset of the name's CR; -1 for a class line alone
    QTest::addColumn<int>("zero");     // offset of the description's zero byte

    QTest::newRow("Clock add-in") << addinHeader("ADDIN", "Clock", "Shows time") << 21 << 28 << 40;
    QTest::newRow("smallest add-in") << addinHeader("ADDIN", "", "") << 21 << 23 << 25;
    QTest::newRow("DATA class line") << kSignature + "DATA\r\n" << 20 << -1 << -1;
}

void TestAddinHeader::everyPrefixIsDamaged() {
    QFETCH(QByteArray, full);
    QFETCH(int, classEnd);
    QFETCH(int, nameEnd);
    QFETCH(int, zero);

    // The problem a prefix of `length` bytes has: the first part of the header it cuts into.
    const auto expectedProblem = [&](int length) {
        if (length < 16) {
            return HeaderProblem::ShorterThanSignature;
        }
        if (length <= classEnd) {
            return HeaderProblem::ClassUnterminated;
        }
        if (nameEnd < 0) {
            return HeaderProblem::ClassLineTruncated;
        }
        if (length <= nameEnd) {
            return HeaderProblem::NameUnterminated;
        }
        if (length <= zero) {
            return HeaderProblem::DescriptionUnterminated;
        }
        return length < zero + 5 ? HeaderProblem::WordsTruncated : HeaderProblem::IconTruncated;
    };

    for (int length = 0; length < full.size(); ++length) {
        const AddinHeader header = AddinHeader::parse(full.first(length));
        const QByteArray where = "prefix of " + QByteArray::number(length) + " bytes";
        QVERIFY2(header.problem == expectedProblem(length), where);
        QVERIFY2(!header.complete(), where);
        QVERIFY2(!header.problemText().isEmpty(), where);
        QVERIFY2(header.headSize == 0, where);
        QVERIFY2(header.org == 0 && header.codeSize == 0, where);
        // Every field byte that was read lies inside the prefix.
        for (const auto& field : {header.classLine, header.name, header.description}) {
            if (field) {
                QVERIFY2(field->length() == 0 || field->start - 1 + field->length() <= length,
                         where);
                QVERIFY2(!field->terminated || field->start - 1 + field->length() < length, where);
            }
        }
    }
    const AddinHeader header = AddinHeader::parse(full);
    QCOMPARE(header.problem, HeaderProblem::None);
    QCOMPARE(header.headSize, int(full.size()));
}

void TestAddinHeader::roundTrip() {
    QRandomGenerator random(20240611);
    const QList<QByteArray> otherTypes = {"data", "game", "addin2", "addi", "x"};
    for (int run = 0; run < 3000; ++run) {
        // The class text ends in a type word; any bytes but CR may come before its colon.
        const bool addin = random.bounded(5) != 0;
        const QByteArray typeWord =
            randomCase(random, addin ? QByteArray("addin") : otherTypes[random.bounded(5)]);
        QByteArray classText = typeWord;
        if (random.bounded(4) != 0) {
            classText = randomBytes(random, random.bounded(13), '\r') + ':' + typeWord;
        }
        const QByteArray name = randomBytes(random, random.bounded(41), '\r');
        const QByteArray description = randomBytes(random, random.bounded(121), '\0');
        const auto word1 = quint16(random.bounded(65536));
        const auto word2 = quint16(random.bounded(65536));
        const QByteArray icon = randomBytes(random, 160);

        const QByteArray header =
            buildAddinHeader(classText, name, description, word1, word2, icon);
        const int headSize =
            16 + int(classText.size() + 2 + name.size() + 2 + description.size()) + 1 + 4 + 160;
        QCOMPARE(int(header.size()), headSize);

        const int codeLength = random.bounded(9000 - headSize + 1);
        QByteArray codeBytes = randomBytes(random, codeLength);
        if (codeLength > 0 && codeBytes.back() == char(0xFF)) {
            codeBytes.back() = char(0xFE);
        }
        const int paddingLength = random.bounded(9000 - headSize - codeLength + 1);
        const QByteArray image = header + codeBytes + QByteArray(paddingLength, char(0xFF));

        const AddinHeader parsed = AddinHeader::parse(image);
        const QByteArray where = "run " + QByteArray::number(run);
        QVERIFY2(parsed.problem == HeaderProblem::None, where);
        QVERIFY2(parsed.classLine->bytes == classText, where);
        QVERIFY2(*parsed.addinType == QString::fromLatin1(typeWord.toUpper()), where);
        QVERIFY2(parsed.isAddin() == addin, where);
        if (!addin) {
            QVERIFY2(parsed.headSize == 16 + classText.size() + 2, where);
            continue;
        }
        QVERIFY2(parsed.name->bytes == name, where);
        QVERIFY2(parsed.name->start == 16 + classText.size() + 3, where);
        QVERIFY2(parsed.description->bytes == description, where);
        QVERIFY2(parsed.description->start == parsed.name->start + name.size() + 2, where);
        QVERIFY2(CodePage::encode(parsed.name->text()) == name, where);
        QVERIFY2(CodePage::encode(parsed.description->text()) == description, where);
        QVERIFY2(*parsed.word1 == word1 && *parsed.word2 == word2, where);
        QVERIFY2(parsed.icon == icon, where);
        QVERIFY2(parsed.headSize == headSize, where);
        QVERIFY2(parsed.org == 32770 - headSize, where);
        QVERIFY2(parsed.codeSize == codeLength, where);
    }
}

void TestAddinHeader::arbitraryBytesNeverBreakTheParser() {
    // Runs under the sanitizers in the sanitizer build: a read outside the image fails there.
    QRandomGenerator random(77);
    const QByteArray structure[] = {"\r\n", QByteArray(1, 0), "ADDIN", ":", "\xFF\xFF"};
    for (int run = 0; run < 5000; ++run) {
        QByteArray image = random.bounded(4) != 0 ? kSignature : QByteArray();
        const int pieces = random.bounded(12);
        for (int i = 0; i < pieces; ++i) {
            image += random.bounded(2) != 0 ? structure[random.bounded(5)]
                                            : randomBytes(random, random.bounded(60));
        }
        QByteArray truncated = QByteArray(image.constData(), random.bounded(image.size() + 1));
        const AddinHeader header = AddinHeader::parse(truncated);
        const QByteArray where = "run " + QByteArray::number(run);
        QVERIFY2(header.complete() == (header.problem == HeaderProblem::None), where);
        QVERIFY2(header.complete() || header.headSize == 0, where);
        QVERIFY2(header.headSize <= truncated.size(), where);
        if (header.complete() && header.isAddin()) {
            QVERIFY2(header.org == 32770 - header.headSize, where);
            QVERIFY2(header.codeSize >= 0 && header.codeSize <= truncated.size() - header.headSize,
                     where);
        }
    }
}

void TestAddinHeader::realSample() {
    const QString folder = qEnvironmentVariable("MOBRIN_REAL_SAMPLES");
    QFile file(folder + QStringLiteral("/tafl.rex"));
    if (folder.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        QSKIP("the real add-in tafl.rex is not available here");
    }
    const QByteArray image = file.readAll();
    QCOMPARE(image.size(), 8354);

    const AddinHeader header = AddinHeader::parse(image);
    QCOMPARE(header.problem, HeaderProblem::None);
    QCOMPARE(header.classLine->text(), QStringLiteral("Addin"));
    QVERIFY(header.isAddin());
    QCOMPARE(header.name->text(), QStringLiteral("Addin"));
    QCOMPARE(header.description->text(), QString());
    QCOMPARE(header.icon, QByteArray(160, 0));
    QCOMPARE(*header.word1, quint16(0x1FDF));
    QCOMPARE(*header.word2, quint16(0));
    QCOMPARE(NumberForm::word(*header.word1, NumberForm::Base::Hex), QStringLiteral("$1FDF"));
    QCOMPARE(header.headSize, 195);
    QCOMPARE(header.org, 0x7F3F);
    QCOMPARE(header.codeSize, 8159);
    QCOMPARE(header.codeSize, int(*header.word1)); // its first word is the code's length
}

// AddinCheck: one row a finding, on a file made for it.
void TestAddinHeader::checkFindings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected"); // "severity id offset", in the order reported
    const auto row = [](const char* name, const QByteArray& bytes, const char* expected) {
        QTest::newRow(name) << bytes << QString::fromLatin1(expected);
    };
    const QByteArray sound = checkable();
    QByteArray white = sound;
    white.replace(45, AddinHeader::kIconBytes, QByteArray(AddinHeader::kIconBytes, '\0'));

    row("sound", sound, "");
    row("word 1 the bytes after the header", with(with(sound, 41, 0x33), 42, 0x1F), "");
    row("no signature", QByteArray(300, 'x'), "error not-addin 0");
    row("class DATA", "ApplicationName:DATA\r\n12", "error not-addin 16");
    row("file ends in the icon", sound.left(100), "error damaged-header 45");
    row("description without its NUL", sound.left(35), "error damaged-header 30");
    row("over 9000 bytes", sound + QByteArray(809, '\xFF'), "error too-large 9000");
    row("under 8192 bytes", sound.left(5000), "warning short-file 5000");
    row("control character in the class", checkable("\x1B:Addin"), "error control-character 16");
    row("control character in the name", checkable("Addin", "Clo\tck"),
        "error control-character 26");
    row("undefined Windows-1252 code in the description",
        checkable("Addin", "Clock", "Shows\x81time"), "error control-character 35");
    row("lone CR in the description", checkable("Addin", "Clock", "Shows\rtime"),
        "error control-character 35");
    row("CR LF in the description", checkable("Addin", "Clock", "Show\r\ntime"),
        "warning description-crlf 34");
    row("no LF after the class line's CR", with(sound, 22, ' '), "warning line-feed-missing 22");
    row("no LF after the name's CR", with(sound, 29, '\r'), "warning line-feed-missing 29");
    row("empty name", checkable("Addin", ""), "error empty-name 23");
    row("code after word 1's length", with(sound, 41, 5), "warning word1-mismatch 41");
    row("word 1 past the end", with(with(sound, 41, 0x34), 42, 0x1F), "warning word1-mismatch 41");
    QByteArray toolchain = sound;
    toolchain.replace(305, 3000, QByteArray(3000, '\0'));
    row("word 1, then 00 bytes, then FF bytes", toolchain, "");
    row("code after the 00 bytes", with(toolchain, 3305, 'c'), "warning word1-mismatch 41");
    // jp $0006, ld a,1, ret, call $0003, call $0012, call $000D, jp $0006, ld b,2, ret
    QByteArray noOrg = checkable("Addin", "Clock", "Shows time", 21);
    noOrg.replace(205, 21, QByteArray::fromHex("C306003E01C9CD0300CD1200CD0D00C306000602C9"));
    row("code assembled for $0000", noOrg, "warning code-origin 205");
    row("white icon", white, "warning white-icon 45");
    row("only 0xFF after the header", checkable("Addin", "Clock", "Shows time", 0),
        "error no-code 205");
    row("only 00 and FF bytes after the header", with(checkable("Addin", "Clock", "", 0), 195, 0),
        "error no-code 195");
    row("nothing after the header", checkable("Addin", "Clock", "Shows time", 0, 0),
        "error no-code 205, warning short-file 205");
}

void TestAddinHeader::checkFindings() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);

    QStringList found;
    for (const AddinFinding& finding : AddinCheck::of(bytes)) {
        found << QStringLiteral("%1 %2 %3")
                     .arg(finding.severityText(), finding.id)
                     .arg(finding.offset);
        QVERIFY2(finding.sentence.front().isUpper() &&
                     (finding.sentence.endsWith('.') || finding.sentence.endsWith('?')) &&
                     !finding.sentence.contains('\n'),
                 qPrintable(finding.sentence));
    }
    QCOMPARE(found.join(", "), expected);
}

QTEST_GUILESS_MAIN(TestAddinHeader)
#include "tst_addinheader.moc"
