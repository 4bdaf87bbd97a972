// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinComparison.h"
#include "AddinHeader.h"
#include "ByteSearch.h"
#include "GoToTarget.h"
#include "TestFiles.h"

#include <QtTest>

namespace {

constexpr int H = 205; // the header size of every add-in here

// After the header: CD 03 9B 00 CD 10 9B, "clock", Š š.
QByteArray searchImage() {
    return buildAddinHeader("ADDIN", "Clock", "Shows time", 0, 0, QByteArray(160, '\0')) +
           QByteArray::fromHex("CD039B00CD109B") + "clock\x8A\x9A";
}

using Direction = RangeStep::Direction;

} // namespace

char* toString(const ByteRange& range) {
    return QTest::toString(QStringLiteral("{%1, %2}").arg(range.start).arg(range.length));
}

class Find : public QObject {
    Q_OBJECT

private slots:
    void search_data();
    void search();
    void refusedPattern_data();
    void refusedPattern();
    void goTo_data();
    void goTo();
    void comparison_data();
    void comparison();
    void stepOverRuns_data();
    void stepOverRuns();
};

void Find::search_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<BytePattern::Mode>("mode");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("stripped");
    QTest::addColumn<ByteRange>("selection");
    QTest::addColumn<Direction>("direction");
    QTest::addColumn<int>("hit"); // -1: not found
    QTest::addColumn<bool>("wrapped");

    const auto text = BytePattern::Mode::Text;
    const auto bytes = BytePattern::Mode::Bytes;
    const auto forward = Direction::Forward;
    const auto backward = Direction::Backward;
    QTest::newRow("text, match case")
        << "clock" << text << true << false << ByteRange{0, 0} << forward << H + 7 << false;
    QTest::newRow("text, any case: the name")
        << "CLOCK" << text << false << false << ByteRange{0, 0} << forward << 23 << false;
    QTest::newRow("after the selection")
        << "CLOCK" << text << false << false << ByteRange{23, 5} << forward << H + 7 << false;
    QTest::newRow("past the end: wraps")
        << "CLOCK" << text << false << false << ByteRange{H + 7, 5} << forward << 23 << true;
    QTest::newRow("stripped: the name is not searched")
        << "CLOCK" << text << false << true << ByteRange{H + 7, 5} << forward << H + 7 << true;
    QTest::newRow("stripped, only in the header")
        << "Clock" << text << true << true << ByteRange{H, 0} << forward << -1 << false;
    QTest::newRow("Windows-1252 case: š finds Š")
        << "š" << text << false << false << ByteRange{0, 0} << forward << H + 12 << false;
    QTest::newRow("wildcard") << "CD ?? 9B" << bytes << false << false << ByteRange{0, 0} << forward
                              << H << false;
    QTest::newRow("wildcard, no spaces, lower case")
        << "cd??9b" << bytes << false << false << ByteRange{H, 3} << forward << H + 4 << false;
    QTest::newRow("a caret's own byte is searched")
        << "CD ?? 9B" << bytes << false << false << ByteRange{H + 4, 0} << forward << H + 4
        << false;
    QTest::newRow("backward") << "CD ?? 9B" << bytes << false << false << ByteRange{H + 4, 3}
                              << backward << H << false;
    QTest::newRow("backward past the start: wraps")
        << "CD ?? 9B" << bytes << false << false << ByteRange{H, 3} << backward << H + 4 << true;
    QTest::newRow("not found") << "CD 11 9B" << bytes << false << false << ByteRange{0, 0}
                               << forward << -1 << false;
}

void Find::search() {
    QFETCH(QString, typed);
    QFETCH(BytePattern::Mode, mode);
    QFETCH(bool, matchCase);
    QFETCH(bool, stripped);
    QFETCH(ByteRange, selection);
    QFETCH(Direction, direction);
    QFETCH(int, hit);
    QFETCH(bool, wrapped);
    const QByteArray image = searchImage();
    const BytePattern::Parse parse = BytePattern::parse(typed, mode, matchCase);
    QVERIFY2(parse.pattern, qPrintable(parse.refusal));
    const ByteRange within = ByteRange::shown(int(image.size()), stripped, H);
    const RangeStep step = ByteSearch::find(image, *parse.pattern, within, selection, direction);
    QCOMPARE(step.range ? step.range->start : -1, hit);
    QCOMPARE(step.wrapped, wrapped);
    QCOMPARE(ByteSearch::note(step).isEmpty(), hit >= 0 && !wrapped);
}

void Find::refusedPattern_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<BytePattern::Mode>("mode");
    QTest::addColumn<QString>("named"); // the part of the input the sentence points at

    const auto bytes = BytePattern::Mode::Bytes;
    QTest::newRow("no bytes") << "  " << bytes << "CD ?? 9B";
    QTest::newRow("an odd digit") << "CD 9 9B" << bytes << "\"9\"";
    QTest::newRow("odd digits in a group") << "CD9B0" << bytes << "\"CD9B0\"";
    QTest::newRow("not hex") << "CG" << bytes << "\"G\"";
    QTest::newRow("half a wildcard") << "C? 9B" << bytes << "\"C?\"";
    QTest::newRow("wildcards alone") << "?? ??" << bytes << "??";
    QTest::newRow("no text") << "" << BytePattern::Mode::Text << "text";
    QTest::newRow("no Windows-1252 code") << "Zeit ⌚" << BytePattern::Mode::Text << "U+231A";
}

void Find::refusedPattern() {
    QFETCH(QString, typed);
    QFETCH(BytePattern::Mode, mode);
    QFETCH(QString, named);
    const BytePattern::Parse parse = BytePattern::parse(typed, mode, true);
    QVERIFY(!parse.pattern);
    QVERIFY2(parse.refusal.contains(named) && parse.refusal.endsWith('.'),
             qPrintable(parse.refusal));
}

void Find::goTo_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("stripped");
    QTest::addColumn<int>("offset");    // -1: refused
    QTest::addColumn<QString>("named"); // in the refusal

    const QByteArray addin = TestFiles::addin(); // 8192 bytes
    for (const char* typed : {"$1F0", "0x1F0", "0X1f0", "496", " 496 "}) {
        QTest::addRow("offset %s", typed) << addin << typed << false << 496 << "";
    }
    QTest::newRow("first code byte") << addin << "@$8000" << false << H << "";
    QTest::newRow("code address") << addin << "@$9B03" << false << H + 0x1B03 << "";
    for (const char* typed : {"@8010", "@0x8010", "@ 8010"}) {
        QTest::addRow("code address %s, hexadecimal", typed)
            << addin << typed << false << H + 0x10 << "";
    }
    QTest::newRow("last byte") << addin << "$1FFF" << false << 8191 << "";
    QTest::newRow("last code byte") << addin << "@$9F32" << false << 8191 << "";
    QTest::newRow("stripped, first code byte") << addin << "$CD" << true << H << "";
    QTest::newRow("past the end") << addin << "8192" << false << -1 << "$1FFF (8191)";
    QTest::newRow("far past the end") << addin << "99999999999999999999" << false << -1 << "end";
    QTest::newRow("code past the end") << addin << "@$9F33" << false << -1 << "$9F32";
    QTest::newRow("before the code") << addin << "@$7FFF" << false << -1 << "$8000";
    QTest::newRow("in the stripped header") << addin << "$CC" << true << -1 << "Strip header";
    QTest::newRow("no add-in code") << TestFiles::addin("", "", 100, 8192, "DATA") << "@$8000"
                                    << false << -1 << "no add-in code";
    for (const char* typed :
         {"", "$", "0x", "1F0", "$-1", "@", "@$", "@@$8000", "$1F0h", "+496", "@$0x8010"}) {
        QTest::addRow("ill-formed '%s'", typed) << addin << typed << false << -1 << "$1F0";
    }
}

void Find::goTo() {
    QFETCH(QByteArray, image);
    QFETCH(QString, typed);
    QFETCH(bool, stripped);
    QFETCH(int, offset);
    QFETCH(QString, named);
    const GoToTarget::Place place =
        GoToTarget::resolve(typed, int(image.size()), AddinHeader::parse(image), stripped);
    QCOMPARE(place.offset.value_or(-1), offset);
    QCOMPARE(place.refusal.isEmpty(), offset >= 0);
    QVERIFY2(place.refusal.contains(named), qPrintable(place.refusal));
}

void Find::comparison_data() {
    QTest::addColumn<QByteArray>("other");
    QTest::addColumn<QList<ByteRange>>("marks"); // in this file
    QTest::addColumn<QStringList>("fields");

    const QByteArray addin = TestFiles::addin();
    QByteArray twoRuns = addin;
    twoRuns[300] = 'x';
    twoRuns[301] = 'y';
    twoRuns[8191] = 'z';
    QTest::newRow("same") << addin << QList<ByteRange>{} << QStringList{};
    QTest::newRow("one byte") << QByteArray(addin).replace(300, 1, "x")
                              << QList<ByteRange>{{300, 1}} << QStringList{};
    QTest::newRow("two runs, the last byte too")
        << twoRuns << QList<ByteRange>{{300, 2}, {8191, 1}} << QStringList{"code_size"};
    QTest::newRow("header only") << TestFiles::addin("Time ") << QList<ByteRange>{{23, 5}}
                                 << QStringList{"name"};
    // By structure: the code aligned at its first byte; the longer tail is this file's own.
    QTest::newRow("a longer description moves nothing")
        << TestFiles::addin("Clock", "Shows times") << QList<ByteRange>{{30, 10}, {8191, 1}}
        << QStringList{"description", "header_size", "org"};
    QTest::newRow("shorter: this file's tail")
        << addin.left(5000) << QList<ByteRange>{{5000, 3192}} << QStringList{"file_size"};
    QByteArray bytesAside = addin;
    bytesAside[29] = 'X';
    bytesAside[45] = char(bytesAside[45] ^ 0x81);
    QTest::newRow("the byte after the name's CR, two icon pixels")
        << bytesAside << QList<ByteRange>{{29, 1}, {45, 1}}
        << QStringList{"byte_after_name_cr", "icon"};
    QTest::newRow("no add-in: by position, fields only one side has, in order")
        << TestFiles::addin("", "", 100, 8192, "DATA") << QList<ByteRange>{{16, 16}, {33, 272}}
        << QStringList{"class", "type",        "name", "description", "word1",
                       "word2", "header_size", "org",  "code_size"};
}

void Find::comparison() {
    QFETCH(QByteArray, other);
    QFETCH(QList<ByteRange>, marks);
    QFETCH(QStringList, fields);
    const QByteArray addin = TestFiles::addin();
    const AddinComparison comparison = AddinComparison::of(addin, other);
    QCOMPARE(comparison.marks(), marks);
    QStringList keys;
    for (const HeaderDifference& field : comparison.headerDifferences()) {
        keys << field.key;
        QVERIFY(field.thisText(true) != field.otherText(true));
    }
    QCOMPARE(keys, fields);
    QCOMPARE(comparison.same(), other == addin);
    const bool byPosition = comparison.basis() == AddinComparison::Basis::Position;
    QCOMPARE(byPosition, other.startsWith("ApplicationName:DATA"));
    QCOMPARE(comparison.lengthNote().isEmpty(), !byPosition || other.size() == addin.size());
}

void Find::stepOverRuns_data() {
    QTest::addColumn<bool>("stripped");
    QTest::addColumn<ByteRange>("selection");
    QTest::addColumn<Direction>("direction");
    QTest::addColumn<ByteRange>("run");
    QTest::addColumn<bool>("wrapped");

    // Runs at 23 (the name), 300 and 400.
    QTest::newRow("previous") << false << ByteRange{300, 2} << Direction::Backward
                              << ByteRange{23, 5} << false;
    QTest::newRow("stripped: the name is skipped")
        << true << ByteRange{300, 2} << Direction::Backward << ByteRange{400, 1} << true;
}

void Find::stepOverRuns() {
    QFETCH(bool, stripped);
    QFETCH(ByteRange, selection);
    QFETCH(Direction, direction);
    QFETCH(ByteRange, run);
    QFETCH(bool, wrapped);
    const QByteArray addin = TestFiles::addin();
    QByteArray other = TestFiles::addin("Time ");
    other.replace(300, 2, "xy").replace(400, 1, "z");
    const AddinComparison comparison = AddinComparison::of(addin, other);
    const RangeStep step =
        comparison.step(selection, direction, ByteRange::shown(int(addin.size()), stripped, H));
    QCOMPARE(step.range, run);
    QCOMPARE(step.wrapped, wrapped);
    QCOMPARE(AddinComparison::note(step).isEmpty(), !wrapped);
}

QTEST_GUILESS_MAIN(Find)
#include "tst_find.moc"
