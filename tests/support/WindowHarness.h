// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A main window driven the way a user drives it, with scripted dialogs. Header-only: only
// the widget tests include it.

#include "AddinDocument.h"
#include "DumpFiles.h"
#include "DumpPane.h"
#include "DumpView.h"
#include "HeaderArea.h"
#include "HeaderBox.h"
#include "IconBox.h"
#include "MainWindow.h"
#include "ScriptedPrompts.h"
#include "StatusPanels.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QtTest>

#include <memory>
#include <optional>

// Runs the window's menu command `name` (the action's object name) and lets it finish.
inline void runCommand(MainWindow& window, const char* name) {
    // The menus' items, or an item of a context menu (the icon's).
    QAction* item = window.action(QLatin1String(name));
    (item ? item : window.findChild<QAction*>(QLatin1String(name)))->trigger();
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

class WindowHarness {
public:
    explicit WindowHarness(std::unique_ptr<DumpFiles> dumpFiles = std::make_unique<DumpFiles>())
        : dumpFiles(std::move(dumpFiles)),
          window(std::make_unique<MainWindow>(prompts, *this->dumpFiles)) {
        window->show();
        window->activateWindow();
        settle();
    }

    // Lets queued work (the pane sync) run, as the event loop would between user actions.
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
    }

    // File > Open on `path`, answering the padding question when one is given.
    void open(const QString& path, std::optional<Prompts::Answer> padAnswer = std::nullopt) {
        prompts.choose(path);
        if (padAnswer) {
            prompts.answer(*padAnswer);
        }
        runCommand(*window, "mnuFileOpen");
        settle();
    }

    // Writes an add-in file and opens it (8192 bytes or more: no padding question).
    QString openAddin(const QByteArray& bytes, const QString& name = QStringLiteral("a.rex")) {
        const QString path = files.write(name, bytes);
        open(path, bytes.size() < 8192 ? std::optional(Prompts::Answer::No) : std::nullopt);
        return path;
    }

    // Double-clicks `box` to unlock it, types `text` over its text, leaves it for the hex pane
    // and answers the patch question with `answer`.
    void patch(HeaderBox* box, const QString& text, Prompts::Answer answer = Prompts::Answer::Ok) {
        QTest::mouseDClick(box, Qt::LeftButton);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        prompts.answer(answer);
        hexPane()->setFocus();
        settle();
    }

    // Runs the window's menu command `name`, as a click on that menu item does.
    void command(const char* name) { runCommand(*window, name); }

    const AddinDocument& document() const { return window->document(); }
    // The header area's boxes, found by the names the team uses ("Aname", "Aw1", ...).
    HeaderBox* box(const char* name) const {
        return window->findChild<HeaderBox*>(QLatin1String(name));
    }
    IconBox* icon() const { return window->findChild<IconBox*>(QStringLiteral("Picture1")); }
    QCheckBox* stripBox() const { return window->findChild<QCheckBox*>(QStringLiteral("chkCode")); }
    DumpView* dump() const { return window->dumpView(); }
    DumpPane* hexPane() const { return dump()->scrHEX; }
    DumpPane* asciiPane() const { return dump()->scrASC; }
    QString panelText(const QString& key) const {
        return window->statusPanels()->panel(key)->text();
    }
    QString addressText() const;
    // The program's window of type W (the listing, the inspector, a box), if one is open or
    // hidden and not yet gone.
    template <class W> static W* shown() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<W*>(window)) {
                return found;
            }
        }
        return nullptr;
    }

    ScriptedPrompts prompts;
    TestFiles files;
    std::unique_ptr<DumpFiles> dumpFiles;
    std::unique_ptr<MainWindow> window;
};

#include "AddressColumn.h"

inline QString WindowHarness::addressText() const {
    return dump()->lblAds->text();
}
