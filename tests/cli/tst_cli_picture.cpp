// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "CliRun.h"
#include "TestFiles.h"
#include "WindowView.h"

#include <QBuffer>
#include <QImageWriter>
#include <QProcess>
#include <QtTest>

namespace {

constexpr int kIconStart = 46; // image index of the first icon byte in TestFiles::addin()

QByteArray png(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(picture);
    return bytes;
}

// The icon drawn black on white, each icon pixel made `scale` x `scale`, as a PNG file.
QByteArray picture(const QByteArray& icon, int scale = 1) {
    return png(TestFiles::drawnIcon(icon, scale));
}

QByteArray withIcon(QByteArray addin, const QByteArray& icon) {
    return addin.replace(kIconStart - 1, icon.size(), icon);
}

} // namespace

class CliPicture : public QObject {
    Q_OBJECT

private slots:
    void forms_data();
    void forms();
    void roundTrip_data();
    void roundTrip();
    void realProgram_data();
    void realProgram();
};

void CliPicture::forms_data() {
    // In the arguments "@rex" is the add-in, "@pic" the picture, "@out" the output file.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("addin");   // a null array: no add-in file at all
    QTest::addColumn<QByteArray>("picture"); // a null array: no picture file at all
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");      // what is printed
    QTest::addColumn<QByteArray>("addinNow"); // the add-in file afterwards
    QTest::addColumn<QByteArray>("outNow");   // the output file afterwards; null: none made
    QTest::addColumn<QString>("says");        // in the one error line

    const QByteArray clock = TestFiles::addin();
    const QByteArray icon = TestFiles::randomIcon(14);
    const QByteArray good = picture(icon);
    const QByteArray text = WindowView::iconText(icon).toUtf8();
    QImage wideImage(41, 32, QImage::Format_RGB32);
    wideImage.fill(Qt::white);
    const QByteArray wide = png(wideImage);
    QImage mixedImage = QImage::fromData(picture(QByteArray(160, '\0'), 2));
    mixedImage.setPixel(13, 7, qRgb(0, 0, 0));
    const QByteArray mixed = png(mixedImage);
    const QByteArray none;
    const QByteArray empty("");

    const QStringList from{"icon", "--from", "@pic"};
    QTest::newRow("icon --from") << from << none << good << 0 << text << none << none << "";
    QTest::newRow("icon --from, scale 3")
        << from << none << picture(icon, 3) << 0 << text << none << none << "";
    QTest::newRow("icon --from, missing")
        << from << none << none << 3 << empty << none << none << "no such picture file";
    QTest::newRow("icon --from, an add-in")
        << from << none << clock << 3 << empty << none << none << "cannot be read as a picture";
    QTest::newRow("icon --from, 41 x 32")
        << from << none << wide << 5 << empty << none << none << "41 x 32 pixels";
    QTest::newRow("icon --from, a mixed block")
        << from << none << mixed << 5 << empty << none << none << "2 x 2 block at (12, 6)";

    const QStringList patch{"patch", "@rex", "--icon", "@pic"};
    const QByteArray patched = withIcon(clock, icon);
    QTest::newRow("patch --icon") << patch << clock << good << 0 << empty << patched << none << "";
    QTest::newRow("patch --icon --name --description")
        << patch + QStringList{"--name", "Time", "--description", "Tells time"} << clock << good
        << 0 << empty << withIcon(TestFiles::addin("Time ", "Tells time"), icon) << none << "";
    QTest::newRow("patch --icon -o") << patch + QStringList{"-o", "@out"} << clock << good << 0
                                     << empty << clock << patched << "";

    // Every refusal leaves every file as it was.
    QTest::newRow("patch --icon, picture missing")
        << patch << clock << none << 3 << empty << clock << none << "no such picture file";
    QTest::newRow("patch --icon, not a picture")
        << patch << clock << clock << 3 << empty << clock << none << "cannot be read";
    QTest::newRow("patch --icon, 41 x 32")
        << patch << clock << wide << 5 << empty << clock << none << "41 x 32 pixels";
    QTest::newRow("patch --icon -o, a mixed block")
        << patch + QStringList{"-o", "@out"} << clock << mixed << 5 << empty << clock << none
        << "partly black and partly white";
    QTest::newRow("patch --icon, name too long: no icon either")
        << patch + QStringList{"--name", "Clocks"} << clock << good << 5 << empty << clock << none
        << "new name has 6 characters";
    QTest::newRow("patch --icon, class DATA")
        << patch << QByteArray("ApplicationName:DATA\r\n") + QByteArray(300, 'x') << good << 4
        << empty << QByteArray("ApplicationName:DATA\r\n") + QByteArray(300, 'x') << none
        << "not an add-in";
    QTest::newRow("patch --icon, icon cut short")
        << patch << clock.left(204) << good << 4 << empty << clock.left(204) << none
        << "the file ends inside the icon";
    QTest::newRow("patch --icon, add-in missing")
        << patch << none << good << 3 << empty << none << none << "no such file";
    QTest::newRow("patch --icon -o to a folder")
        << patch + QStringList{"-o", "@dir"} << clock << good << 6 << empty << clock << none
        << "cannot write";
    // The name's bytes as well as the icon's: a refused picture keeps a good name out too.
    QTest::newRow("patch --name --icon, 41 x 32")
        << QStringList{"patch", "@rex", "--name", "Time", "--icon", "@pic"} << clock << wide << 5
        << empty << clock << none << "41 x 32";
}

void CliPicture::forms() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, addin);
    QFETCH(QByteArray, picture);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, addinNow);
    QFETCH(QByteArray, outNow);
    QFETCH(QString, says);

    TestFiles files;
    QDir(files.path(QString())).mkdir("dir");
    const QString rex = files.path("a.rex");
    const QString pic = files.path("icon.png");
    const QString output = files.path("out.rex");
    if (!addin.isNull()) {
        files.write("a.rex", addin);
    }
    if (!picture.isNull()) {
        files.write("icon.png", picture);
    }
    arguments.replaceInStrings("@rex", rex)
        .replaceInStrings("@pic", pic)
        .replaceInStrings("@out", output)
        .replaceInStrings("@dir", files.path("dir"));

    const CliRun run(arguments);
    QCOMPARE(run.code, code);
    QCOMPARE(run.out, out);
    if (code == 0) {
        QVERIFY(run.err.isEmpty());
    } else {
        QVERIFY2(run.oneErrorLine(), run.err.constData());
        QVERIFY2(QString::fromUtf8(run.err).contains(says), run.err.constData());
    }

    QCOMPARE(QFileInfo::exists(rex), !addinNow.isNull());
    QCOMPARE(TestFiles::read(rex), addinNow);
    QCOMPARE(TestFiles::read(pic), picture);
    QCOMPARE(QFileInfo::exists(output), !outNow.isNull());
    QCOMPARE(TestFiles::read(output), outNow);
    // No temporary file is left behind, and nothing is written into the folder.
    QCOMPARE(QDir(files.path(QString())).entryList(QDir::Files | QDir::Hidden).size(),
             int(!addin.isNull()) + int(!picture.isNull()) + int(!outNow.isNull()));
    QVERIFY(QDir(files.path("dir")).isEmpty());
}

void CliPicture::roundTrip_data() {
    QTest::addColumn<int>("scale");
    for (int scale = 1; scale <= 4; ++scale) {
        QTest::addRow("--scale %d", scale) << scale;
    }
}

// The way out and the way back: `icon --png --scale N` writes a picture that `icon --from`
// and `patch --icon` read back to the same bytes.
void CliPicture::roundTrip() {
    QFETCH(int, scale);
    TestFiles files;
    const QByteArray icon = TestFiles::randomIcon(quint32(100 + scale));
    const QString source = files.write("a.rex", withIcon(TestFiles::addin(), icon));
    const QString target = files.write("b.rex", withIcon(TestFiles::addin(), QByteArray(160, 0)));
    const QString pic = files.path("icon.png");

    QCOMPARE(CliRun({"icon", source, "--png", pic, "--scale", QString::number(scale)}).code, 0);
    const CliRun text({"icon", source});
    const CliRun back({"icon", "--from", pic});
    QCOMPARE(back.code, 0);
    QCOMPARE(back.out, text.out);
    QCOMPARE(CliRun({"patch", target, "--icon", pic}).code, 0);
    QCOMPARE(TestFiles::read(target), TestFiles::read(source));
}

void CliPicture::realProgram_data() {
    QTest::addColumn<QByteArray>("picture");
    QTest::newRow("PNG cut short") << picture(TestFiles::icon()).left(100);
    QTest::newRow("XPM without its colours") << QByteArray("/* XPM */\n"
                                                           "static char *x[] = {\"40 32 2 1\",");
    QTest::newRow("good PNG") << picture(TestFiles::icon());
}

// Qt's image readers and libpng write to stderr themselves; the real program still says
// exactly what the in-process run says, in one line.
void CliPicture::realProgram() {
    QFETCH(QByteArray, picture);
    TestFiles files;
    const QString pic = files.write("icon.png", picture);
    compareWithProgram({"icon", "--from", pic});
}

QTEST_GUILESS_MAIN(CliPicture)
#include "tst_cli_picture.moc"
