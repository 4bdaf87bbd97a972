// SPDX-License-Identifier: GPL-3.0-or-later
// mobrin-samplegen: writes the example add-ins that live in samples/.
//
//   mobrin-samplegen [folder]      (the folder defaults to the repository's samples/)
//
// What each file shows when opened in Mobrin:
//   clock.rex           A complete add-in, padded to 8192 bytes: class text "Addin" (the case
//                       real toolchains write), name "Clock", description "Shows time", a clock
//                       face as its icon, words $1234 and $0000, 4795 bytes of Z80-like code.
//                       Header size 205, ORG $7F35, approximate code size 4795.
//   clock-unpadded.rex  The same add-in without its padding: exactly 5000 bytes, so Mobrin
//                       offers to pad it; padded, it becomes clock.rex byte for byte.
//   game.rex            Class "Game:addin", whose type after the last ':' is ADDIN: name
//                       "Blocks", a falling-blocks icon, word 1 the code's length ($0BB8) and
//                       word 2 $8000, a word above 32767 that shows as unsigned.
//   data.DS2            Class DATA, not an add-in: only the class line is header (22 bytes);
//                       words, ORG and code size stay "0" and the icon stays blank.
//   not-an-addin.rex    A plain text file without the "ApplicationName:" signature: Mobrin says
//                       "Not a REX AddIn file" and still shows the whole file as a dump.
//   empty-name.rex      An add-in (class "ADDIN") whose name is empty: the name box stays empty
//                       and has no bytes to patch.
//
// The format is written here from scratch, not through Mobrin's own header code, so that a
// test comparing the two checks both. The output is the same on every run and machine; a
// test compares it with the committed samples.

#include "AddinFileWriter.h"
#include "IconArt.h"
#include "Z80Code.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <cstdio>

namespace {

constexpr int kPaddedSize = 8192;
constexpr quint16 kLoadAddress = 0x8000;

struct Sample {
    const char* fileName;
    QByteArray bytes;
};

AddinFileWriter clock() {
    AddinFileWriter clock;
    clock.classText = "Addin";
    clock.name = "Clock";
    clock.description = "Shows time";
    clock.word1 = 0x1234;
    clock.word2 = 0x0000;
    clock.icon = IconArt::clockFace();
    // 205 header bytes and 4795 code bytes: the unpadded file is exactly 5000 bytes.
    clock.code = Z80Code::generate(4795, 1, kLoadAddress);
    clock.padTo = kPaddedSize;
    return clock;
}

AddinFileWriter game() {
    AddinFileWriter game;
    game.classText = "Game:addin";
    game.name = "Blocks";
    game.description = "Falling blocks game";
    game.code = Z80Code::generate(3000, 2, kLoadAddress);
    game.word1 = quint16(game.code.size());
    game.word2 = 0x8000;
    game.icon = IconArt::fallingBlocks();
    game.padTo = kPaddedSize;
    return game;
}

AddinFileWriter data() {
    AddinFileWriter data;
    data.classText = "DATA";
    // A small phone list: records of name and number, each field ending in a zero byte.
    const char* const records[][2] = {
        {"Ada Lovelace", "555-0100"}, {"Charles Babbage", "555-0101"}, {"Grace Hopper", "555-0102"},
        {"Alan Turing", "555-0103"},  {"Edsger Dijkstra", "555-0104"},
    };
    for (const auto& record : records) {
        data.code += record[0];
        data.code += '\0';
        data.code += record[1];
        data.code += '\0';
    }
    data.padTo = kPaddedSize;
    return data;
}

AddinFileWriter emptyName() {
    AddinFileWriter addin;
    addin.classText = "ADDIN";
    addin.name = "";
    addin.description = "This add-in has no name";
    addin.word1 = 0x0100;
    addin.word2 = 0x0000;
    addin.icon = IconArt::questionMark();
    addin.code = Z80Code::generate(600, 3, kLoadAddress);
    addin.padTo = kPaddedSize;
    return addin;
}

QByteArray plainText() {
    return "This is a plain text file, not a REX add-in.\r\n"
           "It does not begin with the line \"ApplicationName:\", so Mobrin reports\r\n"
           "\"Not a REX AddIn file\" and still shows every byte in the dump.\r\n";
}

QList<Sample> samples() {
    AddinFileWriter unpadded = clock();
    unpadded.padTo = 0;
    return {
        {"clock.rex", clock().addinBytes()}, {"clock-unpadded.rex", unpadded.addinBytes()},
        {"game.rex", game().addinBytes()},   {"data.DS2", data().classLineOnlyBytes()},
        {"not-an-addin.rex", plainText()},   {"empty-name.rex", emptyName().addinBytes()},
    };
}

bool writeSample(const QDir& folder, const Sample& sample) {
    QFile file(folder.filePath(QString::fromLatin1(sample.fileName)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(sample.bytes) != sample.bytes.size() || !file.flush()) {
        std::fprintf(stderr, "mobrin-samplegen: cannot write %s: %s\n", qPrintable(file.fileName()),
                     qPrintable(file.errorString()));
        return false;
    }
    std::printf("%s (%lld bytes)\n", qPrintable(file.fileName()),
                static_cast<long long>(sample.bytes.size()));
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: mobrin-samplegen [folder]\n");
        return 1;
    }
    const QString folderPath =
        argc == 2 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(MOBRIN_SAMPLES_DIR);
    QDir folder(folderPath);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "mobrin-samplegen: cannot create %s\n", qPrintable(folderPath));
        return 1;
    }
    bool ok = true;
    for (const Sample& sample : samples()) {
        ok = writeSample(folder, sample) && ok;
    }
    return ok ? 0 : 1;
}
