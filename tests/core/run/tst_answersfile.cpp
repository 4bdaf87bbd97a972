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

SystemCallStop callOf(quint16 number, std::optional<quint16> extended = std::nullopt) {
    SystemCallStop call;
    call.number = number;
    call.extendedNumber = extended;
    return call;
}

} // namespace

class AnswersFileTest : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void writtenFileReadsBack();
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
    QTest::newRow("fills") << QByteArray("42 0 $F000=0d00 61440=41")
                           << QByteArray("$002A $0000 $F000=0D00 $F000=41  # "
                                         "DS_EVENT_MESSAGE_GET\n")
                           << QStringList();
    QTest::newRow("an extended call")
        << QByteArray("$00CE:$0001 5") << QByteArray("$00CE:$0001 $0005  # DS_TEXT_OUT_24\n")
        << QStringList();
    QTest::newRow("a call without a name")
        << QByteArray("$0001 5") << QByteArray("$0001 $0005\n") << QStringList();
    const auto refused = [&result](const char* line, const QString& error) {
        QTest::addRow("refused: %s", line)
            << QByteArray("$002A 1\n") + line << result << QStringList{"line 2: " + error};
    };
    refused("x 1", "'x' is not a call number from 0 to 65535: give $002A, 0x2A or 42, or "
                   "$00CE:$0101 for an extended call");
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
}

void AnswersFileTest::writtenFileReadsBack() {
    AnswersFile file;
    file.append({0x002A, std::nullopt, 1, {{0xF000, QByteArray("\0\xFF", 2)}}});
    file.append({0x00CE, 0x0311, 0xFFFF, {}});
    file.append({0x0001, std::nullopt, 0, {{0x0000, "a"}, {0xFFFF, "b"}}});
    QStringList errors;
    const AnswersFile read = AnswersFile::parse(file.text(), errors);
    QVERIFY(errors.isEmpty());
    QCOMPARE(read.answers(), file.answers());
    QCOMPARE(read.answers().at(1).line, 3);
}

void AnswersFileTest::callsAnsweredInTurn() {
    QStringList errors;
    AnswersFile file =
        AnswersFile::parse("$002A 1\n$0030 5\n$002A 2\n$00CE:$0001 7\n$00CE:$0002 8\n", errors);
    const auto result = [&file](const SystemCallStop& call) {
        const auto answer = file.next(call);
        return answer ? int(answer->result) : -1;
    };
    QCOMPARE(result(callOf(0x2A)), 1);
    QCOMPARE(result(callOf(0x2A)), 2);
    QCOMPARE(result(callOf(0x2A)), 2);
    QCOMPARE(result(callOf(0x30)), 5);
    QCOMPARE(result(callOf(0x58)), -1);
    QCOMPARE(result(callOf(0xCE, 0x0002)), 8);
    QCOMPARE(result(callOf(0xCE, 0x0003)), -1);
    QCOMPARE(file.next(callOf(0x2A))->line, 3);
}

QTEST_GUILESS_MAIN(AnswersFileTest)
#include "tst_answersfile.moc"
