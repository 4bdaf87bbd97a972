// SPDX-License-Identifier: GPL-3.0-or-later
// The assemblers are the judges: every source must assemble back into its add-in, byte for byte.
#include "AddinHeader.h"
#include "AddinSource.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

namespace {

constexpr int kRandomBlocks = 300;
constexpr int kBlockSize = 8192;

QByteArray randomBytes(int count, QRandomGenerator& random) {
    QByteArray bytes(count, '\0');
    for (char& byte : bytes) {
        byte = char(random.bounded(256));
    }
    return bytes;
}

QByteArray header(const QByteArray& name = "Clock", const QByteArray& description = "Shows time",
                  const QByteArray& classText = "ADDIN") {
    return buildAddinHeader(classText, name, description, 0x1234, 0x8000, TestFiles::icon());
}

// Every opcode after each prefix, then two operand bytes: 7936 bytes.
QByteArray everyOpcode() {
    QByteArray bytes;
    for (const QByteArray prefix :
         {"", "\xCB", "\xED", "\xDD", "\xFD", "\xDD\xCB\x05", "\xFD\xCB\xFB"}) {
        for (int opcode = 0; opcode < 256; ++opcode) {
            bytes += prefix + char(opcode) + "\x80\x81";
        }
    }
    return bytes;
}

// The seed of the first random block; set MOBRIN_SOURCE_SEED to a reported seed to run that
// block again first.
quint32 firstSeed() {
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("MOBRIN_SOURCE_SEED").toUInt(&ok);
    return ok ? seed : QRandomGenerator::global()->generate();
}

// The assembler's output for `source`, or its complaint.
QByteArray assemble(const QString& assembler, const QByteArray& source, QString& complaint) {
    TestFiles files;
    const QString input = files.write(QStringLiteral("addin.asm"), source);
    const QString output = files.path(QStringLiteral("addin.rex"));
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(assembler, assembler == QLatin1String("z80asm")
                                 ? QStringList{QStringLiteral("-o"), output, input}
                                 : QStringList{input, output});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        complaint = QString::fromLocal8Bit(process.readAll()).left(500);
        return {};
    }
    return TestFiles::read(output);
}

} // namespace

class TestAddinSource : public QObject {
    Q_OBJECT

private slots:
    void assemblesBack_data();
    void assemblesBack();
};

void TestAddinSource::assemblesBack_data() {
    QTest::addColumn<QByteArray>("image");

    const QDir samples(qEnvironmentVariable("MOBRIN_SAMPLES"));
    for (const QString& name : samples.entryList({QStringLiteral("*.rex")}, QDir::Files)) {
        const QByteArray bytes = TestFiles::read(samples.filePath(name));
        if (!AddinSource::of(bytes).isEmpty()) {
            QTest::newRow(qPrintable(name)) << bytes;
        }
    }
    QTest::newRow("tafl.rex") << TestFiles::read(qEnvironmentVariable("MOBRIN_REAL_SAMPLES") +
                                                 QStringLiteral("/tafl.rex"));

    QRandomGenerator random(9000);
    QTest::newRow("header ending at the file's end") << header();
    QTest::newRow("code of one byte") << header() + '\x3E';
    QTest::newRow("code ending in a cut-off DD CB, then FF")
        << header() + QByteArray::fromHex("3E05DDCB") + QByteArray(100, '\xFF');
    QTest::newRow("9000 bytes") << header() + randomBytes(9000 - int(header().size()), random);
    QTest::newRow("9000 bytes, the last 2000 FF")
        << header() + randomBytes(7000 - int(header().size()), random) + QByteArray(2000, '\xFF');
    QTest::newRow("texts with quotes, backslashes, semicolons, tabs, line breaks, high bytes")
        << header("Q\\\"'\x7F\xE9;x", "line\r\n\"quoted\"\t" + QByteArray(100, 'x'),
                  "My \"game\";\\:addin") +
               QByteArray::fromHex("18FEFF");
    QByteArray otherBytes = header() + '\xC9';
    otherBytes[otherBytes.indexOf('\r') + 1] = 'X';
    QTest::newRow("no line feed after the class line's carriage return") << otherBytes;
    QTest::newRow("every opcode after each prefix") << header() + everyOpcode();

    const quint32 first = firstSeed();
    for (quint32 seed = first; seed != first + kRandomBlocks; ++seed) {
        QRandomGenerator block(seed);
        QTest::addRow("random 8 KiB code, seed %u", seed)
            << buildAddinHeader("ADDIN", "Random", "Code", quint16(block.generate()), 0,
                                TestFiles::randomIcon(seed)) +
                   randomBytes(kBlockSize, block);
    }
}

void TestAddinSource::assemblesBack() {
    QFETCH(QByteArray, image);
    if (image.isEmpty()) {
        QSKIP("the real add-in tafl.rex is not available here");
    }
    const QByteArray source = AddinSource::of(image);
    QVERIFY(!source.isEmpty());
    for (const QString& assembler : {QStringLiteral("z80asm"), QStringLiteral("pasmo")}) {
        if (QStandardPaths::findExecutable(assembler).isEmpty()) {
            QFAIL(qPrintable(assembler + " is missing: scripts/mobrin installs it"));
        }
        QString complaint;
        const QByteArray assembled = assemble(assembler, source, complaint);
        qsizetype differs = 0;
        while (differs < std::min(image.size(), assembled.size()) &&
               image[differs] == assembled[differs]) {
            ++differs;
        }
        QVERIFY2(assembled == image,
                 qPrintable(QStringLiteral("%1: %2 bytes, the first differing at offset %3 %4")
                                .arg(assembler)
                                .arg(assembled.size())
                                .arg(differs)
                                .arg(complaint)));
    }
}

QTEST_GUILESS_MAIN(TestAddinSource)
#include "tst_addinsource.moc"
