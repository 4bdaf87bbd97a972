// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "IconPatch.h"
#include "TestFiles.h"

#include <QtTest>

using Outcome = IconPatch::Outcome;

class IconPatchTest : public QObject {
    Q_OBJECT

private slots:
    void apply_data();
    void apply();
};

void IconPatchTest::apply_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QByteArray>("icon");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("iconStart"); // image index of the first icon byte, when Written
    QTest::addColumn<QString>("says");

    const QByteArray icon(AddinHeader::kIconBytes, char(0xA5));
    const QByteArray clock = TestFiles::addin();
    QTest::newRow("Clock") << clock << icon << Outcome::Written << 46 << QString();
    QTest::newRow("empty name and description, class Game:addin")
        << TestFiles::addin("", "", 100, 8192, "Game:addin") << icon << Outcome::Written << 36
        << QString();
    QTest::newRow("the file ends with the icon")
        << buildAddinHeader("ADDIN", "", "", 0, 0, TestFiles::icon()) << icon << Outcome::Written
        << 31 << QString();

    QTest::newRow("icon cut short")
        << clock.left(204) << icon << Outcome::NotAddin << 0 << "the file ends inside the icon";
    QTest::newRow("class DATA") << QByteArray("ApplicationName:DATA\r\n") + QByteArray(300, 'x')
                                << icon << Outcome::NotAddin << 0
                                << "its class type is \"DATA\", not \"ADDIN\"";
    QTest::newRow("no signature") << QByteArray(300, 'x') << icon << Outcome::NotAddin << 0
                                  << "Not a REX AddIn file";
    QTest::newRow("159 icon bytes")
        << clock << icon.left(159) << Outcome::WrongLength << 0 << "An icon is 160 bytes, not 159.";
    QTest::newRow("161 icon bytes")
        << clock << icon + 'x' << Outcome::WrongLength << 0 << "not 161";
}

void IconPatchTest::apply() {
    QFETCH(QByteArray, image);
    QFETCH(QByteArray, icon);
    QFETCH(Outcome, outcome);
    QFETCH(int, iconStart);
    QFETCH(QString, says);

    // Exactly the icon's bytes change; a refusal changes nothing.
    QByteArray expected = image;
    if (outcome == Outcome::Written) {
        expected.replace(iconStart - 1, icon.size(), icon);
    }
    const IconPatch patch = IconPatch::apply(image, icon);
    QCOMPARE(patch.outcome, outcome);
    QCOMPARE(image, expected);
    QVERIFY2(says.isEmpty() ? patch.problem.isEmpty() : patch.problem.contains(says),
             qPrintable(patch.problem));
}

QTEST_GUILESS_MAIN(IconPatchTest)
#include "tst_iconpatch.moc"
