// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnswersFile.h"
#include "SystemCallStop.h"

#include <QtTest>

namespace {

// The file's answer lines as text() writes them, without its first comment line.
QByteArray answerLines(const AnswersFile& file) {
    const QByteArray text = file.text();
    return text.sliced(text.indexOf('\n') + 1);
}

} // namespace

class AnswersFileTest : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void callsAnsweredInTurn();
};

void AnswersFileTest::parse_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QStringList>("errors");
    const QByteArray result = "$002A $0001  # DS_EVENT_MESSAGE_GET\n";
    QTest::newRow("a result") << QByteArray("$002A $0001") << result << QStringList();
    QTest::newRow("numbers in every form, comments, blank lines, CR LF")
        << QByteArray("# first\r\n\r\n  0x2A\t1 # a message\r\n") << result << QStringList();
    QTest::newRow("a call by its name")
        << QByteArray("DS_EVENT_MESSAGE_GET 1") << result << QStringList();
    QTest::newRow("fills") << QByteArray("42 0 $F000=0d00 61440=41 $FFFE=00FF")
                           << QByteArray("$002A $0000 $F000=0D00 $F000=41 $FFFE=00FF  # "
                                         "DS_EVENT_MESSAGE_GET\n")
                           << QStringList();
    QTest::newRow("an extended call, by number and by name")
        << QByteArray("$00CE:$0001 5\nDS_TEXT_OUT_24 5")
        << QByteArray("$00CE:$0001 $0005  # DS_TEXT_OUT_24\n").repeated(2) << QStringList();
    QTest::newRow("a call without a name")
        << QByteArray("$0001 5") << QByteArray("$0001 $0005\n") << QStringList();
    const auto refused = [&result](const char* line, const QString& error) {
        QTest::addRow("refused: %s", line)
            << QByteArray("$002A 1\n") + line << result << QStringList{"line 2: " + error};
    };
    refused("x 1", "'x' is neither a call number from 0 to 65535 nor a call's name: give "
                   "$002A, 0x2A, 42 or DS_EVENT_MESSAGE_GET, or $00CE:$0101 for an extended "
                   "call");
    refused("$002A", "the result is missing after '$002A'");
    refused("$002A $10000", "the result '$10000' is not a number from 0 to 65535");
    refused("$002A 0 $F000=0D0", "'$F000=0D0' is not a fill: give the address, '=' and two hex "
                                 "digits a byte, as $F000=48690A");
    refused("$002A 0 F000=0D", "'F000=0D' is not a fill: give the address, '=' and two hex "
                               "digits a byte, as $F000=48690A");
    refused("$002A 0 $FFFF=0D00", "the fill '$FFFF=0D00' runs past $FFFF");
    refused("$00CE 0", "$00CE is the extended call: give its own number too, as $00CE:$0101");
    refused("$002A:$0101 0", "'$002A:$0101' is not an extended call: give $00CE, a colon and "
                             "the call's own number, as $00CE:$0101");
    refused("$0042 0", "$0042 ends the add-in and takes no answer");
}

void AnswersFileTest::parse() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, written);
    QFETCH(QStringList, errors);
    QStringList got;
    const AnswersFile file = AnswersFile::parse(text, got);
    QCOMPARE(got, errors);
    QCOMPARE(answerLines(file), written);
    // What text() writes reads back as the same answers.
    QCOMPARE(AnswersFile::parse(file.text(), got).answers(), file.answers());
}

void AnswersFileTest::callsAnsweredInTurn() {
    QStringList errors;
    AnswersFile file =
        AnswersFile::parse("$002A 1\n$0030 5\n$002A 2\n$00CE:$0001 7\n$00CE:$0002 8\n", errors);
    const auto answerTo = [&file](quint16 number, std::optional<quint16> extended = {}) {
        SystemCallStop call;
        call.number = number;
        call.extendedNumber = extended;
        return file.next(call);
    };
    const auto result = [&answerTo](quint16 number, std::optional<quint16> extended = {}) {
        const auto answer = answerTo(number, extended);
        return answer ? int(answer->result) : -1;
    };
    const QList<int> results{result(0x2A), result(0x2A),         result(0x2A),        result(0x30),
                             result(0x58), result(0xCE, 0x0002), result(0xCE, 0x0003)};
    QCOMPARE(results, (QList<int>{1, 2, 2, 5, -1, 8, -1}));
    QCOMPARE(answerTo(0x2A)->line, 3);
}

QTEST_GUILESS_MAIN(AnswersFileTest)
#include "tst_answersfile.moc"
