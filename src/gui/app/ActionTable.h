// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <map>

class QAction;
class QMenuBar;
class QWidget;

// The window's commands written once, as a table: each row a menu item with its object name,
// caption, keys, when it can be used and what it does. The menus are built from the table, the
// items are found by name, and their keys can be shared with other windows of the program.
class ActionTable : public QObject {
    Q_OBJECT

public:
    struct Row {
        QString menu; // the menu's object name ("mnuFile"); a new name starts a menu
        QString name; // the item's object name; a row without a caption is a separator
        QString caption;
        QList<QKeySequence> keys;
        std::function<bool()> enabled; // none: always
        std::function<void()> command;
    };
    struct Menu {
        QString name;
        QString caption;
    };

    ActionTable(QList<Menu> menus, QList<Row> rows, QObject* parent = nullptr);

    // Builds the menus in the order given, each item under its menu, on `bar`.
    void buildMenus(QMenuBar* bar);
    QAction* action(const QString& name) const;
    // Asks each row again whether it can be used now.
    void refresh();
    // The items `names` work by their keys in `window` too.
    void shareKeys(QWidget* window, const QStringList& names) const;

private:
    QList<Menu> m_menus;
    QList<Row> m_rows;
    std::map<QString, QAction*> m_actions;
};
