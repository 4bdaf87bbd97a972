// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberDisplay.h"

#include <QtTest>

class TestNumberForm : public QObject {
    Q_OBJECT

private slots:
    void toggles_data();
    void toggles();
    void forms_data();
    void forms();
};

void TestNumberForm::toggles_data() {
    using Form = NumberDisplay::Form;
    QTest::addColumn<Form>("form");
    QTest::addColumn<bool>("zero"); // the "0" of a box a header did not fill
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("first");     // shown before any click, in hexadecimal
    QTest::addColumn<QStringList>("shown"); // after each click

    QTest::newRow("ORG") << Form::PlainAsRead << false << 32580 << "$7F44"
                         << QStringList{"32580", "$7F44", "32580", "$7F44"};
    QTest::newRow("lowest ORG") << Form::PlainAsRead << false << 23770 << "$5CDA"
                                << QStringList{"23770", "$5CDA"};
    QTest::newRow("word $0000") << Form::Word << false << 0 << "$0000"
                                << QStringList{"0", "$0000", "0", "$0000"};
    QTest::newRow("non-ADDIN box left at 0")
        << Form::Word << true << 0 << "0" << QStringList{"0", "$0000", "0", "$0000"};
    QTest::newRow("ORG box left at 0")
        << Form::PlainAsRead << true << 0 << "0" << QStringList{"0", "$0000"};
    QTest::newRow("$1234") << Form::Word << false << 4660 << "$1234"
                           << QStringList{"4660", "$1234"};
    QTest::newRow("$7FFF") << Form::Word << false << 32767 << "$7FFF"
                           << QStringList{"32767", "$7FFF"};
    QTest::newRow("$8000") << Form::Word << false << 32768 << "$8000"
                           << QStringList{"32768", "$8000"};
    QTest::newRow("$FFFF") << Form::Word << false << 65535 << "$FFFF"
                           << QStringList{"65535", "$FFFF"};
    QTest::newRow("ten pads to four digits")
        << Form::Word << false << 10 << "$000A" << QStringList{"10", "$000A"};
    QTest::newRow("status panel stays plain")
        << Form::Plain << false << 26 << "$1A" << QStringList{"26", "$1A", "26"};
}

void TestNumberForm::toggles() {
    QFETCH(NumberDisplay::Form, form);
    QFETCH(bool, zero);
    QFETCH(int, value);
    QFETCH(QString, first);
    QFETCH(QStringList, shown);

    NumberDisplay display(form);
    QCOMPARE(display.text(), QString());
    zero ? display.showZero() : display.show(value);
    QCOMPARE(display.text(), first);
    for (qsizetype click = 0; click < shown.size(); ++click) {
        display.toggle();
        QCOMPARE(display.text(), shown[click]);
        QCOMPARE(display.base(),
                 click % 2 == 0 ? NumberForm::Base::Decimal : NumberForm::Base::Hex);
    }
    // The base outlasts the value: the next file's number shows in it.
    NumberDisplay fresh(form);
    fresh.show(value);
    display.show(value);
    QCOMPARE(display.text(), shown.size() % 2 == 1 ? QString::number(value) : fresh.text());
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
    QCOMPARE(NumberForm::word(value, NumberForm::Base::Hex), word);
    QCOMPARE(NumberForm::word(value, NumberForm::Base::Decimal), decimal);
    QCOMPARE(NumberForm::plain(value, NumberForm::Base::Hex), plain);
    QCOMPARE(NumberForm::plain(value, NumberForm::Base::Decimal), decimal);
}

QTEST_GUILESS_MAIN(TestNumberForm)
#include "tst_numberform.moc"
