// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "CliRun.h"
#include "TestFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

QByteArray header(const QByteArray& classText, const QByteArray& name,
                  const QByteArray& description, quint16 word1 = 0x1234, quint16 word2 = 0) {
    return buildAddinHeader(classText, name, description, word1, word2, TestFiles::icon());
}

QByteArray withCode(QByteArray bytes, int codeLength, int totalSize) {
    for (int i = 0; i < codeLength; ++i) {
        bytes.append(char(0x10 + i % 0x80));
    }
    bytes.append(qMax(0, totalSize - int(bytes.size())), char(0xFF));
    return bytes;
}

QByteArray lines(const QStringList& list) {
    return (list.join(QLatin1Char('\n')) + "\n").toUtf8();
}

} // namespace

class CliInfo : public QObject {
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void json_data();
    void json();
    void conflictingForms_data();
    void conflictingForms();
    void realSample();
};

void CliInfo::text_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("expected");

    const QStringList clock = {"class: ADDIN", "type: ADDIN", "name: Clock",
                               "description: Shows time"};
    QTest::newRow("Clock, hexadecimal by default")
        << TestFiles::addin() << QStringList{} << 0
        << clock + QStringList{"word1: $1234", "word2: $0000",   "header_size: 205",
                               "org: $7F35",   "code_size: 100", "file_size: $2000"};
    QTest::newRow("Clock, --hex") << TestFiles::addin() << QStringList{"--hex"} << 0
                                  << clock + QStringList{"word1: $1234",     "word2: $0000",
                                                         "header_size: 205", "org: $7F35",
                                                         "code_size: 100",   "file_size: $2000"};
    QTest::newRow("Clock, --dec") << TestFiles::addin() << QStringList{"--dec"} << 0
                                  << clock + QStringList{"word1: 4660",      "word2: 0",
                                                         "header_size: 205", "org: 32565",
                                                         "code_size: 100",   "file_size: 8192"};
    QTest::newRow("smallest header")
        << withCode(header("ADDIN", "", ""), 0, 8192) << QStringList{"--dec"} << 0
        << QStringList{"class: ADDIN", "type: ADDIN",    "name: ",           "description: ",
                       "word1: 4660",  "word2: 0",       "header_size: 190", "org: 32580",
                       "code_size: 0", "file_size: 8192"};
    QTest::newRow("smallest header, ORG in hex")
        << withCode(header("ADDIN", "", ""), 0, 8192) << QStringList{} << 0
        << QStringList{"class: ADDIN", "type: ADDIN",     "name: ",           "description: ",
                       "word1: $1234", "word2: $0000",    "header_size: 190", "org: $7F44",
                       "code_size: 0", "file_size: $2000"};
    QTest::newRow("Game:addin, unpadded")
        << withCode(header("Game:addin", "Tafl", "Board game"), 810, 0) << QStringList{"--dec"} << 0
        << QStringList{"class: Game:addin",       "type: ADDIN", "name: Tafl",
                       "description: Board game", "word1: 4660", "word2: 0",
                       "header_size: 209",        "org: 32561",  "code_size: 810",
                       "file_size: 1019"};
    QTest::newRow("words are unsigned")
        << withCode(header("ADDIN", "W", "D", 0x8000, 0xFFFF), 1, 8192) << QStringList{} << 0
        << QStringList{"class: ADDIN", "type: ADDIN",     "name: W",          "description: D",
                       "word1: $8000", "word2: $FFFF",    "header_size: 192", "org: $7F42",
                       "code_size: 1", "file_size: $2000"};
    QTest::newRow("words are unsigned, decimal")
        << withCode(header("ADDIN", "W", "D", 0x8000, 0xFFFF), 1, 8192) << QStringList{"--dec"} << 0
        << QStringList{"class: ADDIN", "type: ADDIN",    "name: W",          "description: D",
                       "word1: 32768", "word2: 65535",   "header_size: 192", "org: 32578",
                       "code_size: 1", "file_size: 8192"};
    QTest::newRow("control characters and backslash escaped, Windows-1252 decoded")
        << withCode(header("ADDIN", "A\\B\x80", "two\r\nlines\x01\xE9"), 4, 8192)
        << QStringList{"--dec"} << 0
        << QStringList{"class: ADDIN",
                       "type: ADDIN",
                       QString::fromUtf8("name: A\\\\B€"),
                       QString::fromUtf8("description: two\\x0D\\x0Alines\\x01é"),
                       "word1: 4660",
                       "word2: 0",
                       "header_size: 206",
                       "org: 32564",
                       "code_size: 4",
                       "file_size: 8192"};
    QTest::newRow("class DATA is not an add-in")
        << QByteArray("ApplicationName:DATA\r\n") + QByteArray(40, 'x') << QStringList{} << 4
        << QStringList{"class: DATA", "type: DATA", "header_size: 22", "file_size: $3E"};
    QTest::newRow("no signature") << QByteArray("applicationname:ADDIN\r\n") << QStringList{"--dec"}
                                  << 4 << QStringList{"file_size: 23"};
    QTest::newRow("empty file") << QByteArray() << QStringList{"--dec"} << 4
                                << QStringList{"file_size: 0"};

    // A damaged header shows every field read in full, then the file size.
    const QByteArray full = header("ADDIN", "Clock", "Shows time");
    QTest::newRow("ends inside the signature")
        << full.left(10) << QStringList{"--dec"} << 4 << QStringList{"file_size: 10"};
    QTest::newRow("class line has no end")
        << full.left(20) << QStringList{"--dec"} << 4 << QStringList{"file_size: 20"};
    QTest::newRow("name has no end") << full.left(26) << QStringList{"--dec"} << 4
                                     << QStringList{"class: ADDIN", "type: ADDIN", "file_size: 26"};
    QTest::newRow("description has no end")
        << full.left(35) << QStringList{"--dec"} << 4
        << QStringList{"class: ADDIN", "type: ADDIN", "name: Clock", "file_size: 35"};
    QTest::newRow("one word only")
        << full.left(43) << QStringList{"--dec"} << 4
        << QStringList{"class: ADDIN", "type: ADDIN",  "name: Clock", "description: Shows time",
                       "word1: 4660",  "file_size: 43"};
    QTest::newRow("ends inside the icon")
        << full.left(100) << QStringList{"--dec"} << 4
        << QStringList{"class: ADDIN", "type: ADDIN", "name: Clock",   "description: Shows time",
                       "word1: 4660",  "word2: 0",    "file_size: 100"};
}

void CliInfo::text() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QStringList, expected);

    TestFiles files;
    const QString path = files.write("a.rex", bytes);
    const CliRun run(QStringList{"info", path} + options);
    QCOMPARE(run.code, code);
    QCOMPARE(QString::fromUtf8(run.out), QString::fromUtf8(lines(expected)));
    if (code == 0) {
        QVERIFY(run.err.isEmpty());
    } else {
        QVERIFY2(run.oneErrorLine(), run.err.constData());
        QVERIFY(run.err.contains(path.toUtf8()));
    }
    QCOMPARE(TestFiles::read(path), bytes);
}

void CliInfo::json_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QVariantMap>("expected");

    QTest::newRow("Clock") << TestFiles::addin()
                           << QVariantMap{{"class", "ADDIN"},   {"type", "ADDIN"},
                                          {"name", "Clock"},    {"description", "Shows time"},
                                          {"word1", 4660},      {"word2", 0},
                                          {"header_size", 205}, {"org", 32565},
                                          {"code_size", 100},   {"file_size", 8192}};
    QTest::newRow("Windows-1252 and line breaks kept exactly")
        << withCode(header("Game:addin", "\x80\xE9\x9F", "a\r\nb", 0xFFFF, 0x8000), 3, 0)
        << QVariantMap{
               {"class", "Game:addin"},   {"type", "ADDIN"}, {"name", QString::fromUtf8("€éŸ")},
               {"description", "a\r\nb"}, {"word1", 65535},  {"word2", 32768},
               {"header_size", 202},      {"org", 32568},    {"code_size", 3},
               {"file_size", 205}};
    QTest::newRow("damaged header names its problem")
        << header("ADDIN", "Clock", "Shows time").left(100)
        << QVariantMap{{"class", "ADDIN"},
                       {"type", "ADDIN"},
                       {"name", "Clock"},
                       {"description", "Shows time"},
                       {"word1", 4660},
                       {"word2", 0},
                       {"file_size", 100},
                       {"problem", "The add-in header is damaged: the file ends inside the icon."}};
    QTest::newRow("no signature") << QByteArray(300, 'z')
                                  << QVariantMap{{"file_size", 300},
                                                 {"problem", "Not a REX AddIn file"}};
}

void CliInfo::json() {
    QFETCH(QByteArray, bytes);
    QFETCH(QVariantMap, expected);

    TestFiles files;
    const CliRun run({"info", files.write("a.rex", bytes), "--json"});
    QCOMPARE(run.code, expected.contains("problem") ? 4 : 0);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    QVERIFY(document.isObject());
    const QJsonObject object = document.object();
    QCOMPARE(object.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QJsonValue value = object.value(it.key());
        if (it.value().typeId() == QMetaType::Int) {
            QVERIFY2(value.isDouble(), qPrintable(it.key()));
            QCOMPARE(value.toInt(-1), it.value().toInt());
        } else {
            QVERIFY2(value.isString(), qPrintable(it.key()));
            QCOMPARE(value.toString(), it.value().toString());
        }
    }
}

void CliInfo::conflictingForms_data() {
    QTest::addColumn<QStringList>("options");
    QTest::newRow("--hex --dec") << QStringList{"--hex", "--dec"};
    QTest::newRow("--json --hex") << QStringList{"--json", "--hex"};
    QTest::newRow("--json --dec") << QStringList{"--dec", "--json"};
}

void CliInfo::conflictingForms() {
    QFETCH(QStringList, options);
    TestFiles files;
    const CliRun run(QStringList{"info", files.write("a.rex", TestFiles::addin())} + options);
    QCOMPARE(run.code, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.oneErrorLine(), run.err.constData());
}

void CliInfo::realSample() {
    const QString path = qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + "/tafl.rex";
    if (!QFile::exists(path)) {
        QSKIP("the real sample add-in is not here");
    }
    const CliRun run({"info", path});
    QCOMPARE(run.code, 0);
    QCOMPARE(QString::fromUtf8(run.out),
             QString::fromUtf8(lines({"class: Addin", "type: ADDIN", "name: Addin", "description: ",
                                      "word1: $1FDF", "word2: $0000", "header_size: 195",
                                      "org: $7F3F", "code_size: 8159", "file_size: $20A2"})));
}

QTEST_GUILESS_MAIN(CliInfo)
#include "tst_cli_info.moc"
