// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpText.h"
#include "FilePath.h"
#include "IconCode.h"
#include "IconCodeWindow.h"
#include "WindowHarness.h"

#include <QMimeData>

namespace {

using Answer = Prompts::Answer;

constexpr int kIconOffset = 45;

// The icon of TestFiles::addin() with every pixel turned over.
QByteArray newIcon() {
    QByteArray icon = TestFiles::icon();
    for (char& byte : icon) {
        byte = char(~byte);
    }
    return icon;
}

// Drops `path` on `target` as a file manager's drag would.
void drop(QWidget* target, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint centre = target->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
    WindowHarness::settle();
}

} // namespace

// "Replace icon..." in the icon's context menu and a file dropped on the icon, in the window:
// what is asked, the image, Patched, the dump and an open icon-code window.
class IconReplaceTest : public QObject {
    Q_OBJECT

private slots:
    void replaceIcon_data();
    void replaceIcon();
};

void IconReplaceTest::replaceIcon_data() {
    QTest::addColumn<QByteArray>("loaded"); // the file open before; empty: none
    QTest::addColumn<QString>("how");       // "menu", or "drop" on the icon
    QTest::addColumn<QString>("file");      // chosen or dropped; empty: the dialog is cancelled
    QTest::addColumn<bool>("agree");        // the answer to "Patch the addin?"
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("openName"); // the file the window shows at the end

    const QByteArray addin = TestFiles::addin();
    const QStringList patchQuestion{"Patch the addin?"};
    QTest::newRow("menu, OK") << addin << "menu"
                              << "icon.png" << true << patchQuestion << true << "a.rex";
    QTest::newRow("menu, Cancel") << addin << "menu"
                                  << "icon.png" << false << patchQuestion << false << "a.rex";
    QTest::newRow("menu, the dialog cancelled")
        << addin << "menu" << QString() << true << QStringList() << false << "a.rex";
    QTest::newRow("menu, a picture of a refused size")
        << addin << "menu"
        << "wide.png" << true
        << QStringList{"The picture is 41 x 32 pixels; an icon picture is 40 x 32 pixels, or a "
                       "whole multiple of that in both directions up to 100 times (80 x 64, "
                       "120 x 96, ... 4000 x 3200). Nothing was patched."}
        << false << "a.rex";
    QTest::newRow("menu, no add-in loaded")
        << QByteArray() << "menu"
        << "icon.png" << true << QStringList() << false << QString();
    QTest::newRow("menu, not an add-in") << QByteArray(8192, 'x') << "menu"
                                         << "icon.png" << true << QStringList() << false << "a.rex";
    // "twin\xFF.png" beside "twin\uFFFD.png": Qt hands over both as the second.
    QTest::newRow("menu, a name Qt cannot hand over exactly")
        << addin << "menu" << QStringLiteral("twin\uFFFD.png") << true
        << QStringList{"The name of this file cannot be read exactly!\r\nRename the file, then "
                       "try again."}
        << false << "a.rex";
    QTest::newRow("drop, OK") << addin << "drop"
                              << "icon.png" << true << patchQuestion << true << "a.rex";
    QTest::newRow("drop, Cancel") << addin << "drop"
                                  << "icon.png" << false << patchQuestion << false << "a.rex";
    QTest::newRow("drop an add-in: opened")
        << addin << "drop"
        << "other.rex" << true << QStringList() << false << "other.rex";
}

void IconReplaceTest::replaceIcon() {
    QFETCH(QByteArray, loaded);
    QFETCH(QString, how);
    QFETCH(QString, file);
    QFETCH(bool, agree);
    QFETCH(QStringList, asked);
    QFETCH(bool, written);
    QFETCH(QString, openName);

    WindowHarness h;
    QVERIFY(TestFiles::drawnIcon(newIcon()).save(h.files.path(QStringLiteral("icon.png"))));
    QVERIFY(QImage(41, 32, QImage::Format_Mono).save(h.files.path(QStringLiteral("wide.png"))));
    const QByteArray png = TestFiles::read(h.files.path(QStringLiteral("icon.png")));
    h.files.write(FilePath::fromBytes("twin\xFF.png"), png);
    h.files.write(QStringLiteral("twin\uFFFD.png"), png);
    h.files.write(QStringLiteral("other.rex"), TestFiles::addin("Other", "Other text"));
    if (!loaded.isEmpty()) {
        h.openAddin(loaded);
    }
    QTest::mouseDClick(h.icon(), Qt::LeftButton);
    QPointer<IconCodeWindow> code = h.shown<IconCodeWindow>();
    const QByteArray before = h.document().image().bytes();
    h.prompts.messages.clear();

    const QString path = file.isEmpty() ? QString() : h.files.path(file);
    h.prompts.answer(agree ? Answer::Ok : Answer::Cancel);
    QAction* replace = h.icon()->replaceAction();
    if (how == QLatin1String("menu")) {
        // Only an add-in's complete header has an icon to replace.
        QCOMPARE(replace->isEnabled(), loaded == TestFiles::addin());
        h.prompts.choose(file.isEmpty() ? std::nullopt : std::optional(path));
        h.command("mnuIconReplace");
    } else {
        drop(h.icon(), path);
    }

    QCOMPARE(h.prompts.texts(), asked);
    for (const Prompts::Message& message : std::as_const(h.prompts.messages)) {
        QCOMPARE(message.caption, QStringLiteral("Mobrin"));
        if (message.buttons == Prompts::Buttons::OkCancel) {
            QCOMPARE(message.defaultButton, Answer::Cancel);
        }
    }
    QCOMPARE(QFileInfo(h.document().path()).fileName(), openName);
    if (openName != QLatin1String("a.rex")) {
        return;
    }
    QByteArray expected = before;
    if (written) {
        expected.replace(kIconOffset, AddinHeader::kIconBytes, newIcon());
    }
    QCOMPARE(h.document().image().bytes(), expected);
    QCOMPARE(h.document().isPatched(), written);
    QCOMPARE(h.hexPane()->dumpText(), DumpText::hexText(expected));
    if (code) {
        QCOMPARE(code->code(), IconCode::fromPixels(
                                   TestFiles::drawnIcon(written ? newIcon() : TestFiles::icon())));
    }
}

QTEST_MAIN(IconReplaceTest)
#include "tst_iconreplace.moc"
