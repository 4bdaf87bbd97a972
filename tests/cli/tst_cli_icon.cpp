// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "AddinImage.h"
#include "CliRun.h"
#include "IconCode.h"
#include "TestFiles.h"
#include "WindowView.h"

#include <QImage>
#include <QProcess>
#include <QtTest>

namespace {

QByteArray addinWithIcon(const QByteArray& icon) {
    QByteArray bytes = buildAddinHeader("ADDIN", "Clock", "Shows time", 1, 2, icon);
    bytes.append(8192 - bytes.size(), char(0xFF));
    return bytes;
}

// The icon-code text written out from the icon bytes, item c of line r being byte 5r + c.
QString textFromBytes(const QByteArray& icon) {
    QString text;
    for (int row = 0; row < 32; ++row) {
        QStringList items;
        for (int column = 0; column < 5; ++column) {
            const int value = quint8(icon[5 * row + column]);
            items << "$" + QString::number(value, 16).toUpper().rightJustified(2, '0');
        }
        text += ".db " + items.join(',') + (row < 31 ? "," : "") + "\r\n";
    }
    return text;
}

bool bitSet(const QByteArray& icon, int x, int y) {
    return (quint8(icon[5 * y + x / 8]) >> (7 - x % 8)) & 1;
}

} // namespace

class CliIcon : public QObject {
    Q_OBJECT

private slots:
    void sameAsWindow_data();
    void sameAsWindow();
    void picture_data();
    void picture();
    void refused_data();
    void refused();
    void pictureNotWritten_data();
    void pictureNotWritten();
};

void CliIcon::sameAsWindow_data() {
    QTest::addColumn<QByteArray>("icon");
    QTest::newRow("all white") << QByteArray(160, '\0');
    QTest::newRow("all black") << QByteArray(160, char(0xFF));
    QByteArray top(160, '\0');
    top[0] = char(0x81);
    QTest::newRow("0x81 top left") << top;
    QTest::newRow("pattern") << TestFiles::icon();
}

void CliIcon::sameAsWindow() {
    QFETCH(QByteArray, icon);
    TestFiles files;
    const CliRun run({"icon", files.write("a.rex", addinWithIcon(icon))});
    QCOMPARE(run.code, 0);
    QVERIFY(run.err.isEmpty());

    QCOMPARE(run.out, WindowView::iconText(icon).toUtf8());
    QCOMPARE(run.out.size(), IconCode::kTextLength);
    QCOMPARE(QString::fromLatin1(run.out), textFromBytes(icon));

    // --asm: the rows as `source` writes them, which z80asm turns back into the icon.
    const CliRun rows({"icon", files.path("a.rex"), "--asm"});
    QCOMPARE(rows.code, 0);
    QVERIFY(CliRun({"source", files.path("a.rex")}).out.contains(rows.out));
    files.write("icon.asm", rows.out);
    QCOMPARE(QProcess::execute("z80asm", {"-o", files.path("icon.bin"), files.path("icon.asm")}),
             0);
    QCOMPARE(TestFiles::read(files.path("icon.bin")), icon);
}

void CliIcon::picture_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("scale");
    QTest::newRow("natural size") << QStringList{} << 1;
    QTest::newRow("--scale 1") << QStringList{"--scale", "1"} << 1;
    QTest::newRow("--scale 3") << QStringList{"--scale", "3"} << 3;
    QTest::newRow("--scale=32") << QStringList{"--scale=32"} << 32;
}

void CliIcon::picture() {
    QFETCH(QStringList, options);
    QFETCH(int, scale);
    TestFiles files;
    const QByteArray icon = TestFiles::icon();
    const QString png = files.path("icon.png");
    const CliRun run(QStringList{"icon", files.write("a.rex", addinWithIcon(icon)), "--png", png} +
                     options);
    QCOMPARE(run.code, 0);
    QVERIFY(run.out.isEmpty());
    QVERIFY(run.err.isEmpty());
    QVERIFY(TestFiles::read(png).startsWith("\x89PNG"));
    const QImage picture(png);
    QCOMPARE(picture.size(), QSize(40 * scale, 32 * scale));
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb expected =
                bitSet(icon, x / scale, y / scale) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            QCOMPARE(picture.pixel(x, y) & 0xFFFFFF, expected & 0xFFFFFF);
        }
    }
}

void CliIcon::refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");

    const QByteArray addin = TestFiles::addin();
    QTest::newRow("class DATA") << QByteArray("ApplicationName:DATA\r\n") + QByteArray(200, 'x')
                                << QStringList{} << 4;
    QTest::newRow("no signature") << QByteArray(300, 'x') << QStringList{} << 4;
    QTest::newRow("icon cut short") << addin.left(120) << QStringList{} << 4;
    QTest::newRow("icon cut short, picture") << addin.left(120) << QStringList{"--png", "@"} << 4;
    QTest::newRow("--scale without --png") << addin << QStringList{"--scale", "2"} << 2;
    QTest::newRow("--asm with --png") << addin << QStringList{"--asm", "--png", "@"} << 2;
    QTest::newRow("--scale 0") << addin << QStringList{"--png", "@", "--scale", "0"} << 2;
    QTest::newRow("--scale 33") << addin << QStringList{"--png", "@", "--scale", "33"} << 2;
    QTest::newRow("--scale 2.5") << addin << QStringList{"--png", "@", "--scale", "2.5"} << 2;
    QTest::newRow("--png without a name") << addin << QStringList{"--png"} << 2;
    QTest::newRow("--png with an empty name") << addin << QStringList{"--png", ""} << 2;
}

void CliIcon::refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, options);
    QFETCH(int, code);
    TestFiles files;
    const QString png = files.path("icon.png");
    options.replaceInStrings("@", png);
    const QString path = files.write("a.rex", bytes);
    const CliRun run(QStringList{"icon", path} + options);
    QCOMPARE(run.code, code);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.oneErrorLine(), run.err.constData());
    QVERIFY(!QFile::exists(png));
    QCOMPARE(TestFiles::read(path), bytes);
}

void CliIcon::pictureNotWritten_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("a folder") << QStringLiteral("folder");
    QTest::newRow("inside a missing folder") << QStringLiteral("missing/icon.png");
    QTest::newRow("a place no file can be made") << QStringLiteral("/proc/mobrin-icon.png");
}

void CliIcon::pictureNotWritten() {
    QFETCH(QString, target);
    TestFiles files;
    QDir(files.path(QString())).mkdir("folder");
    const QString out = target.startsWith('/') ? target : files.path(target);
    const CliRun run({"icon", files.write("a.rex", TestFiles::addin()), "--png", out});
    QCOMPARE(run.code, 6);
    QVERIFY2(run.oneErrorLine(), run.err.constData());
    QVERIFY(!QFileInfo(out).isFile());
}

QTEST_GUILESS_MAIN(CliIcon)
#include "tst_cli_icon.moc"
