// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberForm.h"

#include <QtTest>

class TestNumberForm : public QObject {
    Q_OBJECT

private slots:
    void toggle_data();
    void toggle();
    void toggleSequence_data();
    void toggleSequence();
    void forms_data();
    void forms();
    void tag_data();
    void tag();
};

void TestNumberForm::toggle_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("toggled");

    QTest::newRow("ORG to decimal") << "$7F44"
                                    << "h"
                                    << "32580";
    QTest::newRow("ORG to hex") << "32580"
                                << ""
                                << "$7F44";
    QTest::newRow("lowest ORG") << "$5CDA"
                                << "h"
                                << "23770";
    QTest::newRow("$0000") << "$0000"
                           << "h"
                           << "0";
    QTest::newRow("0 to hex") << "0"
                              << ""
                              << "$0000";
    QTest::newRow("cleared box in hex mode") << "0"
                                             << "h"
                                             << "0";
    QTest::newRow("$1234") << "$1234"
                           << "h"
                           << "4660";
    QTest::newRow("4660") << "4660"
                          << ""
                          << "$1234";
    QTest::newRow("$7FFF") << "$7FFF"
                           << "h"
                           << "32767";
    QTest::newRow("$8000") << "$8000"
                           << "h"
                           << "32768";
    QTest::newRow("32768") << "32768"
                           << ""
                           << "$8000";
    QTest::newRow("$FFFF") << "$FFFF"
                           << "h"
                           << "65535";
    QTest::newRow("65535") << "65535"
                           << ""
                           << "$FFFF";
    QTest::newRow("ten to hex pads to four digits") << "10"
                                                    << ""
                                                    << "$000A";
}

void TestNumberForm::toggle() {
    QFETCH(QString, text);
    QFETCH(QString, tag);
    QFETCH(QString, toggled);
    QCOMPARE(NumberForm::toggledText(text, tag), toggled);
}

void TestNumberForm::toggleSequence_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown"); // the text after each of four clicks

    QTest::newRow("ORG") << "$7F44" << QStringList{"32580", "$7F44", "32580", "$7F44"};
    QTest::newRow("word") << "$0000" << QStringList{"0", "$0000", "0", "$0000"};
    QTest::newRow("non-ADDIN box left at 0") << "0" << QStringList{"0", "$0000", "0", "$0000"};
}

void TestNumberForm::toggleSequence() {
    QFETCH(QString, text);
    QFETCH(QStringList, shown);

    QString tag = NumberForm::kHexTag; // every box starts in hexadecimal mode
    for (const QString& expected : shown) {
        text = NumberForm::toggledText(text, tag);
        tag = NumberForm::toggledTag(tag);
        QCOMPARE(text, expected);
    }
    QCOMPARE(tag, NumberForm::kHexTag);
}

void TestNumberForm::forms_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("word");  // header words and converted values
    QTest::addColumn<QString>("plain"); // ORG and the status panels
    QTest::addColumn<QString>("decimal");

    QTest::newRow("0") << 0 << "$0000"
                       << "$0"
                       << "0";
    QTest::newRow("26") << 26 << "$001A"
                        << "$1A"
                        << "26";
    QTest::newRow("8192") << 8192 << "$2000"
                          << "$2000"
                          << "8192";
    QTest::newRow("ORG 32580") << 32580 << "$7F44"
                               << "$7F44"
                               << "32580";
    QTest::newRow("9000") << 9000 << "$2328"
                          << "$2328"
                          << "9000";
    QTest::newRow("65535") << 65535 << "$FFFF"
                           << "$FFFF"
                           << "65535";
}

void TestNumberForm::forms() {
    QFETCH(int, value);
    QFETCH(QString, word);
    QFETCH(QString, plain);
    QFETCH(QString, decimal);

    QCOMPARE(NumberForm::hexWord(value), word);
    QCOMPARE(NumberForm::hexPlain(value), plain);
    QCOMPARE(NumberForm::decimal(value), decimal);
    QCOMPARE(NumberForm::wordByTag(value, NumberForm::kHexTag), word);
    QCOMPARE(NumberForm::wordByTag(value, QString()), decimal);
    QCOMPARE(NumberForm::plainByTag(value, NumberForm::kHexTag), plain);
    QCOMPARE(NumberForm::plainByTag(value, QString()), decimal);
    // What a toggle reads back from either form is the value itself.
    QCOMPARE(NumberForm::readHexAfterPrefix(word), value);
    QCOMPARE(NumberForm::readHexAfterPrefix(plain), value);
    QCOMPARE(NumberForm::readDecimal(decimal), value);
}

void TestNumberForm::tag_data() {
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("toggled");

    QTest::newRow("hex to decimal") << "h"
                                    << "";
    QTest::newRow("decimal to hex") << ""
                                    << "h";
}

void TestNumberForm::tag() {
    QFETCH(QString, tag);
    QFETCH(QString, toggled);
    QCOMPARE(NumberForm::toggledTag(tag), toggled);
}

QTEST_GUILESS_MAIN(TestNumberForm)
#include "tst_numberform.moc"
