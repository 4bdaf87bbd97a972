// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "IconBitmap.h"
#include "IconCode.h"
#include "TestFiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

QString repeatedLines(const QString& items, int count) {
    QString text;
    for (int row = 0; row < count; ++row) {
        text += QStringLiteral(".db ") + items + QStringLiteral(",\r\n");
    }
    return text;
}

// 31 lines with a trailing comma, then the last without it.
QString uniformText(const QString& items) {
    return repeatedLines(items, 31) + QStringLiteral(".db ") + items + QStringLiteral("\r\n");
}

QImage whiteBox() {
    return IconBitmap::cleared(Qt::white);
}

QImage painted(const QByteArray& icon, const QColor& background = Qt::white) {
    QImage pixels = IconBitmap::cleared(background);
    IconBitmap::paint(pixels, icon);
    return pixels;
}

const QString kZeros = QStringLiteral("$00,$00,$00,$00,$00");
const QString kOnes = QStringLiteral("$FF,$FF,$FF,$FF,$FF");

} // namespace

class IconCodeTest : public QObject {
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void reproducesTheIconBytes_data();
    void reproducesTheIconBytes();
};

void IconCodeTest::text_data() {
    QTest::addColumn<QImage>("pixels");
    QTest::addColumn<QString>("expected");

    QTest::newRow("all white") << whiteBox() << uniformText(kZeros);
    QTest::newRow("all black") << IconBitmap::cleared(Qt::black) << uniformText(kOnes);
    QTest::newRow("all black painted")
        << painted(QByteArray(160, char(0xFF))) << uniformText(kOnes);

    QImage topRow = whiteBox();
    topRow.setPixel(0, 0, qRgb(0, 0, 0));
    topRow.setPixel(7, 0, qRgb(0, 0, 0));
    QTest::newRow("0x81 top row") << topRow
                                  << QStringLiteral(".db $81,$00,$00,$00,$00,\r\n") +
                                         repeatedLines(kZeros, 30) + QStringLiteral(".db ") +
                                         kZeros + QStringLiteral("\r\n");

    QImage grey = whiteBox();
    grey.setPixel(8, 0, qRgb(0xD3, 0xD3, 0xD3));
    QTest::newRow("light grey is set")
        << grey
        << QStringLiteral(".db $00,$80,$00,$00,$00,\r\n") + repeatedLines(kZeros, 30) +
               QStringLiteral(".db ") + kZeros + QStringLiteral("\r\n");

    // One channel at 254 in each colour, in the last byte of the last line.
    for (const QRgb almostWhite : {qRgb(254, 255, 255), qRgb(255, 254, 255), qRgb(255, 255, 254)}) {
        QImage pixels = whiteBox();
        pixels.setPixel(39, 31, almostWhite);
        QTest::addRow("254 white %06X", almostWhite & 0xFFFFFF)
            << pixels << repeatedLines(kZeros, 31) + QStringLiteral(".db $00,$00,$00,$00,$01\r\n");
    }

    QTest::newRow("cleared, background not white")
        << IconBitmap::cleared(QColor(0xF0, 0xF0, 0xF0)) << uniformText(kOnes);
    QTest::newRow("cleared, white background")
        << IconBitmap::cleared(Qt::white) << uniformText(kZeros);

    // A known icon, every line written out: first and last by hand, the rest from the bytes.
    const QByteArray icon = TestFiles::icon();
    QString known;
    for (int row = 0; row < 32; ++row) {
        QStringList items;
        for (int item = 0; item < 5; ++item) {
            items << QStringLiteral("$%1")
                         .arg(quint8(icon[5 * row + item]), 2, 16, QLatin1Char('0'))
                         .toUpper();
        }
        known += QStringLiteral(".db ") + items.join(QLatin1Char(',')) +
                 (row < 31 ? QStringLiteral(",\r\n") : QStringLiteral("\r\n"));
    }
    QVERIFY(known.startsWith(QStringLiteral(".db $81,$25,$4A,$6F,$94,\r\n")));
    QVERIFY(known.endsWith(QStringLiteral("\r\n.db $86,$AB,$D0,$F5,$1A\r\n")));
    QTest::newRow("known icon on grey") << painted(icon, QColor(0xF0, 0xF0, 0xF0)) << known;
}

void IconCodeTest::text() {
    QFETCH(QImage, pixels);
    QFETCH(QString, expected);

    const QString text = IconCode::fromPixels(pixels);
    QCOMPARE(text, expected);

    // The shape every text has, whatever the pixels.
    QCOMPARE(text.size(), IconCode::kTextLength);
    QCOMPARE(text.size(), 831);
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 33);
    QVERIFY(lines.last().isEmpty());
    static const QRegularExpression withComma(QStringLiteral(R"(^\.db (\$[0-9A-F]{2},){5}$)"));
    static const QRegularExpression lastLine(
        QStringLiteral(R"(^\.db (\$[0-9A-F]{2},){4}\$[0-9A-F]{2}$)"));
    for (int row = 0; row < 32; ++row) {
        const QString& line = lines[row];
        QVERIFY2(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')),
                 qPrintable(line));
        QVERIFY2((row < 31 ? withComma : lastLine).match(line).hasMatch(), qPrintable(line));
    }
}

void IconCodeTest::reproducesTheIconBytes_data() {
    QTest::addColumn<QByteArray>("icon");

    QTest::newRow("test pattern") << TestFiles::icon();
    QByteArray ramp;
    for (int i = 0; i < AddinHeader::kIconBytes; ++i) {
        ramp.append(char(255 - i));
    }
    QTest::newRow("descending bytes") << ramp;

    QFile real(qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + QStringLiteral("/tafl.rex"));
    if (real.open(QIODevice::ReadOnly)) {
        const AddinHeader header = AddinHeader::parse(real.readAll());
        if (header.icon.size() == AddinHeader::kIconBytes) {
            QTest::newRow("real add-in") << header.icon;
        }
    }
}

void IconCodeTest::reproducesTheIconBytes() {
    QFETCH(QByteArray, icon);

    const QStringList lines = IconCode::fromPixels(painted(icon)).split(QStringLiteral("\r\n"));
    for (int row = 0; row < 32; ++row) {
        const QStringList items = lines[row].mid(4).split(QLatin1Char(','), Qt::SkipEmptyParts);
        QCOMPARE(items.size(), 5);
        for (int item = 0; item < 5; ++item) {
            bool ok = false;
            QCOMPARE(items[item].mid(1).toInt(&ok, 16), int(quint8(icon[5 * row + item])));
            QVERIFY(ok);
        }
    }
}

QTEST_GUILESS_MAIN(IconCodeTest)
#include "tst_iconcode.moc"
