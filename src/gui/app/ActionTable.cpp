// SPDX-License-Identifier: GPL-3.0-or-later
#include "ActionTable.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

ActionTable::ActionTable(QList<Menu> menus, QList<Row> rows, QObject* parent)
    : QObject(parent), m_menus(std::move(menus)), m_rows(std::move(rows)) {}

void ActionTable::buildMenus(QMenuBar* bar) {
    std::map<QString, QMenu*> menus;
    for (const Menu& menu : m_menus) {
        QMenu* built = bar->addMenu(menu.caption);
        built->setObjectName(menu.name);
        menus[menu.name] = built;
    }
    for (const Row& row : m_rows) {
        QMenu* menu = menus.at(row.menu);
        if (row.caption.isEmpty()) {
            menu->addSeparator()->setObjectName(row.name);
            continue;
        }
        QAction* item = menu->addAction(row.caption);
        item->setObjectName(row.name);
        item->setShortcuts(row.keys);
        // The keys work wherever the focus is in the window, the dump panes included.
        item->setShortcutContext(Qt::WindowShortcut);
        connect(item, &QAction::triggered, this, row.command);
        m_actions[row.name] = item;
    }
    refresh();
}

QAction* ActionTable::action(const QString& name) const {
    const auto found = m_actions.find(name);
    return found == m_actions.end() ? nullptr : found->second;
}

void ActionTable::refresh() {
    for (const Row& row : m_rows) {
        if (row.enabled) {
            m_actions.at(row.name)->setEnabled(row.enabled());
        }
    }
}

void ActionTable::shareKeys(QWidget* window, const QStringList& names) const {
    for (const QString& name : names) {
        window->addAction(action(name));
    }
}
