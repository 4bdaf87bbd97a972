// SPDX-License-Identifier: GPL-3.0-or-later
// The listing's model follows edits by replacing only the lines that differ: a view that takes
// each replacement shows what a fresh listing shows, whatever the edits (of the bytes, and of
// the author's marks), and the way taken through the code survives them.
#include "AddinDocument.h"
#include "ChangeTurn.h"
#include "DumpState.h"
#include "LineDifference.h"
#include "ListingModel.h"
#include "MarkCommands.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

// Lines "KEY text": the key orders them.
LineDifference::Text keyed(const QString& text) {
    LineDifference::Text keyedText{text, {}};
    int start = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        keyedText.lines.append(
            {line.section(QLatin1Char(' '), 0, 0).toLongLong(), start, int(line.size())});
        start += int(line.size()) + 1;
    }
    return keyedText;
}

} // namespace

class ListingModelTest : public QObject {
    Q_OBJECT

private slots:
    void lineDifference_data();
    void lineDifference();
    void editsReplaceOnlyTheirLines_data();
    void editsReplaceOnlyTheirLines();
    void brokenHeaderListsAgainAfterUndo();
    void crossReferences();
};

void ListingModelTest::lineDifference_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("edits"); // "from to text", the last first
    QTest::newRow("same") << "1 a\n2 b"
                          << "1 a\n2 b" << QStringList{};
    QTest::newRow("a line changed") << "1 a\n2 b\n3 c"
                                    << "1 a\n2 x\n3 c" << QStringList{"4 7 2 x"};
    QTest::newRow("two lines far apart")
        << "1 a\n2 b\n3 c\n4 d"
        << "1 x\n2 b\n3 c\n4 y" << QStringList{"12 15 4 y", "0 3 1 x"};
    QTest::newRow("a line inserted") << "1 a\n3 c"
                                     << "1 a\n2 b\n3 c" << QStringList{"4 4 2 b\n"};
    QTest::newRow("a line removed") << "1 a\n2 b\n3 c"
                                    << "1 a\n3 c" << QStringList{"4 8 "};
    QTest::newRow("appended") << "1 a"
                              << "1 a\n2 b" << QStringList{"3 3 \n2 b"};
    QTest::newRow("the last removed") << "1 a\n2 b"
                                      << "1 a" << QStringList{"3 7 "};
    QTest::newRow("replaced by other keys") << "1 a\n2 b\n4 d"
                                            << "1 a\n3 c\n4 d" << QStringList{"4 7 3 c"};
}

void ListingModelTest::lineDifference() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QStringList, edits);
    QStringList found;
    QString applied = before;
    for (const LineDifference& edit : LineDifference::between(keyed(before), keyed(after))) {
        found.append(QStringLiteral("%1 %2 %3").arg(edit.from).arg(edit.to).arg(edit.text));
        applied.replace(edit.from, edit.to - edit.from, edit.text);
    }
    QCOMPARE(found, edits);
    QCOMPARE(applied, after);
}

void ListingModelTest::editsReplaceOnlyTheirLines_data() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("editsPerTurn");
    QTest::addColumn<bool>("marking"); // marks changed among the bytes
    for (const quint32 seed : {1U, 2U, 3U}) {
        QTest::addRow("seed %u, one edit a turn", seed) << seed << 1 << false;
        QTest::addRow("seed %u, a run of edits a turn", seed) << seed << 5 << false;
        QTest::addRow("seed %u, bytes and marks", seed) << seed << 3 << true;
    }
}

void ListingModelTest::editsReplaceOnlyTheirLines() {
    QFETCH(quint32, seed);
    QFETCH(int, editsPerTurn);
    QFETCH(bool, marking);
    QRandomGenerator random(seed);
    QByteArray bytes = TestFiles::addin();
    const int headSize = AddinHeader::parse(bytes).headSize;
    AddinDocument document;
    document.load(AddinImage(bytes, QStringLiteral("a.rex")));
    DumpState dump(document);
    ChangeTurn turn(document, dump);
    ListingModel model(document, dump, turn);
    ScriptedPrompts prompts;
    MarkCommands marks(prompts, document);
    // What a view shows: the text it was given, then each replacement.
    QString shown = model.shownText().toString();
    connect(&model, &ListingModel::linesReplaced, this, [&](const QList<LineDifference>& edits) {
        for (const LineDifference& edit : edits) {
            shown.replace(edit.from, edit.to - edit.from, edit.text);
        }
    });
    connect(&model, &ListingModel::relisted, this, [&] { shown = model.shownText().toString(); });

    // A jump followed before the edits: its way back is kept.
    const CodeListing& listing = model.listing();
    int jump = 0;
    while (!listing.targetOf(jump)) {
        ++jump;
    }
    QVERIFY(model.followJumpOn(model.lines().lineOf(jump)));
    for (int turnCount = 0; turnCount < 60; ++turnCount) {
        for (int i = 0; i < editsPerTurn; ++i) {
            const int offset = headSize + int(random.bounded(bytes.size() - headSize - 4));
            if (marking && random.bounded(2)) {
                const ByteRange range{offset, int(random.bounded(1, 40))};
                switch (random.bounded(4)) {
                case 0:
                    marks.setKind(range, CodeKind(random.bounded(5)));
                    break;
                case 1:
                    marks.backToAnalysis(range);
                    break;
                case 2:
                    marks.nameLabel(offset, QStringLiteral("n%1").arg(offset));
                    break;
                default:
                    marks.comment(offset, QStringLiteral("said at %1").arg(offset));
                }
                continue;
            }
            QByteArray written(int(random.bounded(1, 4)), '\0');
            for (char& byte : written) {
                // Jumps and calls often, so that labels come and go.
                static constexpr char kOpcodes[] = {'\x18', '\x20', '\xC3', '\xCD', '\x00'};
                byte = random.bounded(2) ? kOpcodes[random.bounded(5)] : char(random.bounded(256));
            }
            QVERIFY(document.replace(offset, written, ByteEditCommand::Kind::Paste));
        }
        QCoreApplication::processEvents();
        const QByteArray& image = document.image().bytes();
        const LabelledListing fresh(
            CodeListing::ofMap(
                image, CodeMap::of(image, document.header(),
                                   document.marks().codeMarks(headSize, int(image.size())), true)),
            LabelledListing::Columns::WithCharacters);
        QCOMPARE(shown + QLatin1Char('\n'), fresh.text());
    }
    QVERIFY(model.canGoBack());
}

void ListingModelTest::brokenHeaderListsAgainAfterUndo() {
    AddinDocument document;
    document.load(AddinImage(TestFiles::addin(), QStringLiteral("a.rex")));
    DumpState dump(document);
    ChangeTurn turn(document, dump);
    ListingModel model(document, dump, turn);
    const QString listed = model.shownText().toString();
    // A header without its signature is no add-in's.
    document.replace(0, "x", ByteEditCommand::Kind::Typing);
    QCoreApplication::processEvents();
    QVERIFY(!model.isListed());
    QVERIFY(model.unlistedReason().startsWith(QStringLiteral("The code cannot be listed")));
    document.undoStack().undo();
    QCoreApplication::processEvents();
    QVERIFY(model.isListed());
    QCOMPARE(model.shownText().toString(), listed);
}

// The lines that call a routine are its cross-references; going to one is a step Back undoes.
void ListingModelTest::crossReferences() {
    QByteArray bytes = TestFiles::addin();
    const int code = AddinHeader::parse(bytes).headSize;
    // call f / call f / ret / f: ret
    bytes.replace(code, 8, QByteArray("\xCD\x07\x80\xCD\x07\x80\xC9\xC9", 8));
    AddinDocument document;
    document.load(AddinImage(bytes, QStringLiteral("a.rex")));
    DumpState dump(document);
    const ChangeTurn turn(document, dump);
    ListingModel model(document, dump, turn);
    const auto lineAt = [&](int offset) {
        return model.lines().lineOf(model.listing().indexAt(code + offset));
    };
    QCOMPARE(model.referencesTo(lineAt(7)), (QList<int>{lineAt(0), lineAt(3)}));
    QVERIFY(model.referencesTo(lineAt(6)).isEmpty());
    QCOMPARE(model.goToLine(lineAt(3)), std::optional<int>(lineAt(3)));
    QCOMPARE(dump.selection(), (ByteRange{code + 3, 3}));
    model.goBack();
    QCOMPARE(dump.selection(), (ByteRange{0, 0}));
}

QTEST_GUILESS_MAIN(ListingModelTest)
#include "tst_listingmodel.moc"
