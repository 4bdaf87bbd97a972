// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

// One object of a program's accessibility tree, read over the accessibility bus the way a
// screen reader reads it: name, role, text, place on the screen, actions.
class Accessible {
public:
    Accessible(QDBusConnection bus, QString service, QDBusObjectPath path)
        : m_bus(std::move(bus)), m_service(std::move(service)), m_path(std::move(path)) {}

    // The root of the program with process id `pid`, once it has registered on the bus that
    // `sessionBusAddress` leads to; nothing when it does not within `timeoutMs`.
    static std::optional<Accessible> application(const QString& sessionBusAddress, qint64 pid,
                                                 int timeoutMs);

    bool isValid() const;
    QString name() const;
    QString description() const;
    QString roleName() const;
    QList<Accessible> children() const;
    // The whole text of a text object (a line edit's text), or what a label shows.
    QString text() const;
    // Where the object is on the screen.
    QRect extents() const;
    // Where the caret of a text object stands in its text.
    int caretOffset() const;
    // Where the character at `offset` of a text object is on the screen.
    QRect characterExtents(int offset) const;
    // The first selection of a text object, [start, end) in its text; nothing when no text
    // is selected.
    std::optional<std::pair<int, int>> selection() const;
    bool isChecked() const;
    // A window that has the input focus.
    bool isActive() const;
    bool isFocused() const;
    // Runs the action called `action` ("Toggle", "Press", ...), as an assistive tool would.
    bool doAction(const QString& action) const;

    // The first object below this one, depth first, for which `match` holds.
    std::optional<Accessible> find(const std::function<bool(const Accessible&)>& match) const;
    // Every object below this one for which `match` holds.
    QList<Accessible> findAll(const std::function<bool(const Accessible&)>& match) const;

private:
    QVariant property(const char* interface, const char* name) const;
    QList<uint> states() const;

    QDBusConnection m_bus;
    QString m_service;
    QDBusObjectPath m_path;
};
