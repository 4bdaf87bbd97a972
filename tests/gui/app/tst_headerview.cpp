// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "WindowHarness.h"

namespace {

QByteArray withWords(quint16 word1, quint16 word2) {
    QByteArray bytes =
        buildAddinHeader("ADDIN", "Clock", "Shows time", word1, word2, TestFiles::icon());
    bytes.append(8192 - bytes.size(), char(0xFF));
    return bytes;
}

} // namespace

class HeaderViewTest : public QObject {
    Q_OBJECT

private slots:
    void propertiesFillTheBoxes_data();
    void propertiesFillTheBoxes();
    void iconPixelsFollowTheBits();
    void wordsAreUnsigned_data();
    void wordsAreUnsigned();
    void togglesFlipTextAndTag_data();
    void togglesFlipTextAndTag();
    void togglesDoNothingWithoutAParsedFile();
    void modeSurvivesOpeningAnotherFile();
    void damagedHeaderIsReportedAndShown_data();
    void damagedHeaderIsReportedAndShown();
    void notAnAddinLeavesTheBoxesCleared();
    void realThirdPartyAddin();
};

void HeaderViewTest::propertiesFillTheBoxes_data() {
    QTest::addColumn<QByteArray>("classText");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<QStringList>("boxes"); // Atype Aname Adesc Aw1 Aw2 Ahead Aorg Acode
    QTest::newRow("smallest") << QByteArray("ADDIN") << QByteArray() << QByteArray()
                              << QStringList{"ADDIN", "",    "",      "$1234",
                                             "$0000", "190", "$7F44", "100"};
    QTest::newRow("clock") << QByteArray("ADDIN") << QByteArray("Clock") << QByteArray("Shows time")
                           << QStringList{"ADDIN", "Clock", "Shows time", "$1234",
                                          "$0000", "205",   "$7F35",      "100"};
    QTest::newRow("game") << QByteArray("Game:addin") << QByteArray("Tafl")
                          << QByteArray("Board game")
                          << QStringList{"Game:addin", "Tafl", "Board game", "$1234",
                                         "$0000",      "209",  "$7F31",      "100"};
    QTest::newRow("data") << QByteArray("DATA") << QByteArray("x") << QByteArray("y")
                          << QStringList{"DATA", "", "", "0", "0", "22", "0", "0"};
}

void HeaderViewTest::propertiesFillTheBoxes() {
    QFETCH(QByteArray, classText);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, description);
    QFETCH(QStringList, boxes);
    WindowHarness h;
    h.openAddin(TestFiles::addin(name, description, 100, 8192, classText));
    const QStringList shown = {h.box("Atype")->text(), h.box("Aname")->text(),
                               h.box("Adesc")->text(), h.box("Aw1")->text(),
                               h.box("Aw2")->text(),   h.box("Ahead")->text(),
                               h.box("Aorg")->text(),  h.box("Acode")->text()};
    QCOMPARE(shown, boxes);
    QCOMPARE(h.prompts.messages.size(), 0);
    const bool addin = classText.toUpper().endsWith("ADDIN");
    QCOMPARE(h.document().header().addinType,
             addin ? QStringLiteral("ADDIN") : QStringLiteral("DATA"));
    QCOMPARE(h.box("Aname")->fieldLength(), addin ? int(name.size()) : 0);
    QCOMPARE(h.box("Adesc")->fieldLength(), addin ? int(description.size()) : 0);
    QCOMPARE(h.document().header().headSize, boxes[5].toInt());
    if (addin) {
        QCOMPARE(h.document().header().name->start, 16 + int(classText.size()) + 3);
        QCOMPARE(h.document().header().description->start,
                 h.document().header().name->start + int(name.size()) + 2);
    }
    // Properties parses the same image again to the same boxes.
    h.window->action(QStringLiteral("mnuFileProperties"))->trigger();
    QCOMPARE(h.box("Acode")->text(), boxes[7]);
    QCOMPARE(h.box("Ahead")->text(), boxes[5]);
}

void HeaderViewTest::iconPixelsFollowTheBits() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    const QImage& pixels = h.icon()->pixels();
    QCOMPARE(pixels.size(), QSize(40, 32));
    const QByteArray icon = TestFiles::icon();
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool set = (quint8(icon[y * 5 + x / 8]) >> (7 - x % 8)) & 1;
            QCOMPARE(pixels.pixel(x, y) & 0xFFFFFF, set ? 0x000000u : 0xFFFFFFu);
        }
    }
    // A file without an icon clears the box to its background.
    h.openAddin(TestFiles::addin("x", "y", 10, 8192, "DATA"), QStringLiteral("data.DS2"));
    QCOMPARE(h.icon()->pixels().pixelColor(5, 5), h.icon()->palette().color(QPalette::Window));
}

void HeaderViewTest::wordsAreUnsigned_data() {
    QTest::addColumn<int>("word");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("decimal");
    QTest::newRow("1234") << 0x1234 << "$1234"
                          << "4660";
    QTest::newRow("0") << 0 << "$0000"
                       << "0";
    QTest::newRow("7FFF") << 0x7FFF << "$7FFF"
                          << "32767";
    QTest::newRow("8000") << 0x8000 << "$8000"
                          << "32768";
    QTest::newRow("FFFF") << 0xFFFF << "$FFFF"
                          << "65535";
}

void HeaderViewTest::wordsAreUnsigned() {
    QFETCH(int, word);
    QFETCH(QString, hex);
    QFETCH(QString, decimal);
    WindowHarness h;
    h.openAddin(withWords(quint16(word), quint16(word)));
    QCOMPARE(h.box("Aw1")->text(), hex);
    QCOMPARE(h.box("Aw2")->text(), hex);
    QVERIFY(h.prompts.messages.isEmpty());
    QTest::mouseClick(h.box("Aw1"), Qt::LeftButton);
    QCOMPARE(h.box("Aw1")->text(), decimal);
    QTest::mouseClick(h.box("Aw1"), Qt::LeftButton);
    QCOMPARE(h.box("Aw1")->text(), hex);
}

void HeaderViewTest::togglesFlipTextAndTag_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QByteArray>("classText");
    QTest::addColumn<QStringList>("texts"); // before, after one click, after two
    QTest::newRow("org") << "Aorg" << QByteArray("ADDIN") << QStringList{"$7F35", "32565", "$7F35"};
    QTest::newRow("word 1") << "Aw1" << QByteArray("ADDIN")
                            << QStringList{"$1234", "4660", "$1234"};
    QTest::newRow("word 2") << "Aw2" << QByteArray("ADDIN") << QStringList{"$0000", "0", "$0000"};
    QTest::newRow("cleared org") << "Aorg" << QByteArray("DATA") << QStringList{"0", "0", "$0000"};
    QTest::newRow("cleared word") << "Aw1" << QByteArray("DATA") << QStringList{"0", "0", "$0000"};
}

void HeaderViewTest::togglesFlipTextAndTag() {
    QFETCH(QString, box);
    QFETCH(QByteArray, classText);
    QFETCH(QStringList, texts);
    WindowHarness h;
    h.openAddin(TestFiles::addin("Clock", "Shows time", 100, 8192, classText));
    auto* target = h.window->findChild<HeaderBox*>(box);
    QCOMPARE(target->text(), texts[0]);
    QTest::mouseClick(target, Qt::LeftButton);
    QCOMPARE(target->text(), texts[1]);
    QCOMPARE(target->base(), NumberForm::Base::Decimal);
    QTest::mouseClick(target, Qt::LeftButton);
    QCOMPARE(target->text(), texts[2]);
    QCOMPARE(target->base(), NumberForm::Base::Hex);
}

void HeaderViewTest::togglesDoNothingWithoutAParsedFile() {
    WindowHarness h;
    QTest::mouseClick(h.box("Aorg"), Qt::LeftButton);
    QCOMPARE(h.box("Aorg")->text(), QString());
    QCOMPARE(h.box("Aorg")->base(), NumberForm::Base::Hex);
    h.openAddin(QByteArray(8192, 'x'));
    QCOMPARE(h.prompts.texts(), QStringList{"Not a REX AddIn file"});
    QTest::mouseClick(h.box("Aw1"), Qt::LeftButton);
    QCOMPARE(h.box("Aw1")->text(), QStringLiteral("0"));
    QCOMPARE(h.box("Aw1")->base(), NumberForm::Base::Hex);
}

void HeaderViewTest::modeSurvivesOpeningAnotherFile() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    QTest::mouseClick(h.box("Aw1"), Qt::LeftButton);
    h.openAddin(withWords(0x0102, 0x0304), QStringLiteral("other.rex"));
    QCOMPARE(h.box("Aw1")->text(), QStringLiteral("258"));
    QCOMPARE(h.box("Aw2")->text(), QStringLiteral("$0304"));
    QCOMPARE(h.box("Aorg")->text(), QStringLiteral("$7F35"));
}

void HeaderViewTest::damagedHeaderIsReportedAndShown_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("word1");
    QTest::addColumn<QString>("problem");
    // The Clock header: class line to 22, name to 29, description to 41, words to 45.
    QTest::newRow("inside the signature") << 10 << ""
                                          << ""
                                          << "0"
                                          << "first line";
    QTest::newRow("no end of class") << 19 << "ADD"
                                     << ""
                                     << "0"
                                     << "class line";
    QTest::newRow("no end of name") << 26 << "ADDIN"
                                    << "Clo"
                                    << "0"
                                    << "name";
    QTest::newRow("no end of description") << 35 << "ADDIN"
                                           << "Clock"
                                           << "0"
                                           << "description";
    QTest::newRow("inside the words") << 43 << "ADDIN"
                                      << "Clock"
                                      << "$1234"
                                      << "header words";
    QTest::newRow("inside the icon") << 100 << "ADDIN"
                                     << "Clock"
                                     << "$1234"
                                     << "icon";
}

void HeaderViewTest::damagedHeaderIsReportedAndShown() {
    QFETCH(int, length);
    QFETCH(QString, type);
    QFETCH(QString, name);
    QFETCH(QString, word1);
    QFETCH(QString, problem);
    WindowHarness h;
    const QString path =
        h.files.write(QStringLiteral("damaged.rex"), TestFiles::addin().left(length));
    h.open(path, Prompts::Answer::No);
    QCOMPARE(h.prompts.messages.size(), 2);
    const Prompts::Message report = h.prompts.messages.last();
    QCOMPARE(report.caption, QStringLiteral("Mobrin"));
    QVERIFY2(report.text.contains(problem), qPrintable(report.text));
    QCOMPARE(h.box("Atype")->text(), type);
    QCOMPARE(h.box("Aname")->text(), name);
    QCOMPARE(h.box("Aw1")->text(), word1);
    QCOMPARE(h.box("Ahead")->text(), QStringLiteral("0"));
    QCOMPARE(h.document().header().headSize, 0);
    // An unfinished field cannot be patched: the box takes no typing.
    QCOMPARE(h.box("Aname")->fieldLength(), length > 29 ? 5 : 0);
    // The dump is still rendered, all of it, even with the header stripped.
    QCOMPARE(h.hexPane()->dumpText().size(), 3 * length);
    QTest::mouseClick(h.stripBox(), Qt::LeftButton);
    QCOMPARE(h.hexPane()->dumpText().size(), 3 * length);
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Mobrin : ") + path);
}

void HeaderViewTest::notAnAddinLeavesTheBoxesCleared() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    QByteArray lower = TestFiles::addin();
    lower[0] = 'a';
    h.openAddin(lower, QStringLiteral("lower.rex"));
    QCOMPARE(h.prompts.messages.last(), infoMessage(QStringLiteral("Not a REX AddIn file")));
    QCOMPARE(h.box("Atype")->text(), QString());
    QCOMPARE(h.box("Aname")->text(), QString());
    QCOMPARE(h.box("Aorg")->text(), QStringLiteral("0"));
    QCOMPARE(h.box("Acode")->text(), QStringLiteral("0"));
    QCOMPARE(h.document().header().headSize, 0);
    // The dump of the file is still produced.
    QCOMPARE(h.asciiPane()->dumpText().left(16),
             QStringLiteral("ApplicationName:").replace(0, 1, 'a'));
}

void HeaderViewTest::realThirdPartyAddin() {
    const QString path = qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + QStringLiteral("/tafl.rex");
    if (!QFileInfo::exists(path)) {
        QSKIP("The third-party sample is not beside this checkout.");
    }
    WindowHarness h;
    h.open(path);
    QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.texts().join('|')));
    QCOMPARE(h.box("Atype")->text(), QStringLiteral("Addin"));
    QCOMPARE(h.box("Aname")->text(), QStringLiteral("Addin"));
    QCOMPARE(h.box("Adesc")->text(), QString());
    QCOMPARE(h.box("Aw1")->text(), QStringLiteral("$1FDF"));
    QCOMPARE(h.box("Aw2")->text(), QStringLiteral("$0000"));
    QCOMPARE(h.box("Ahead")->text(), QStringLiteral("195"));
    QCOMPARE(h.box("Aorg")->text(), QStringLiteral("$7F3F"));
    QCOMPARE(h.box("Acode")->text(), QStringLiteral("8159"));
    QCOMPARE(h.document().image().fileSize(), 8354);
    const QImage& icon = h.icon()->pixels();
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 40; ++x) {
            QCOMPARE(icon.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu);
        }
    }
}

QTEST_MAIN(HeaderViewTest)
#include "tst_headerview.moc"
