// SPDX-License-Identifier: GPL-3.0-or-later
#include "Accessible.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QThread>

namespace {

const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kRegistry = QStringLiteral("org.a11y.atspi.Registry");
const QString kRootPath = QStringLiteral("/org/a11y/atspi/accessible/root");

// AT-SPI's state numbers (atspi-constants.h).
constexpr uint kStateActive = 1;
constexpr uint kStateChecked = 4;
constexpr uint kStateFocused = 12;

QDBusMessage call(const QDBusConnection& bus, const QString& service, const QString& path,
                  const QString& interface, const QString& method,
                  const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, 5000);
}

// An a(so) list of references to accessible objects.
QList<std::pair<QString, QDBusObjectPath>> references(const QVariant& value) {
    QList<std::pair<QString, QDBusObjectPath>> result;
    const auto argument = value.value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
        QString service;
        QDBusObjectPath path;
        argument.beginStructure();
        argument >> service >> path;
        argument.endStructure();
        result.append({service, path});
    }
    argument.endArray();
    return result;
}

std::optional<QString> accessibilityBusAddress(const QString& sessionBusAddress) {
    QDBusConnection session =
        QDBusConnection::connectToBus(sessionBusAddress, QStringLiteral("e2e-session"));
    const QDBusMessage reply =
        call(session, QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
             QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return std::nullopt;
    }
    return reply.arguments().constFirst().toString();
}

} // namespace

std::optional<Accessible> Accessible::application(const QString& sessionBusAddress, qint64 pid,
                                                  int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    std::optional<QString> address;
    while (!(address = accessibilityBusAddress(sessionBusAddress)) && clock.elapsed() < timeoutMs) {
        QThread::msleep(50);
    }
    if (!address) {
        return std::nullopt;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(*address, QStringLiteral("e2e-a11y"));
    while (clock.elapsed() < timeoutMs) {
        const QDBusMessage apps =
            call(bus, kRegistry, kRootPath, kAccessible, QStringLiteral("GetChildren"));
        if (apps.type() == QDBusMessage::ReplyMessage && !apps.arguments().isEmpty()) {
            for (const auto& [service, path] : references(apps.arguments().constFirst())) {
                const QDBusReply<uint> owner = bus.interface()->servicePid(service);
                if (owner.isValid() && qint64(owner.value()) == pid) {
                    return Accessible(bus, service, path);
                }
            }
        }
        QThread::msleep(50);
    }
    return std::nullopt;
}

QVariant Accessible::property(const char* interface, const char* name) const {
    const QDBusMessage reply =
        call(m_bus, m_service, m_path.path(), QStringLiteral("org.freedesktop.DBus.Properties"),
             QStringLiteral("Get"), {QLatin1String(interface), QLatin1String(name)});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

bool Accessible::isValid() const {
    return property("org.a11y.atspi.Accessible", "Name").isValid();
}

QString Accessible::name() const {
    return property("org.a11y.atspi.Accessible", "Name").toString();
}

QString Accessible::description() const {
    return property("org.a11y.atspi.Accessible", "Description").toString();
}

QString Accessible::roleName() const {
    const QDBusMessage reply =
        call(m_bus, m_service, m_path.path(), kAccessible, QStringLiteral("GetRoleName"));
    return reply.arguments().isEmpty() ? QString() : reply.arguments().constFirst().toString();
}

QList<Accessible> Accessible::children() const {
    const QDBusMessage reply =
        call(m_bus, m_service, m_path.path(), kAccessible, QStringLiteral("GetChildren"));
    QList<Accessible> result;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return result;
    }
    for (const auto& [service, path] : references(reply.arguments().constFirst())) {
        result.append(Accessible(m_bus, service, path));
    }
    return result;
}

QString Accessible::text() const {
    const QDBusMessage reply =
        call(m_bus, m_service, m_path.path(), QStringLiteral("org.a11y.atspi.Text"),
             QStringLiteral("GetText"), {0, -1});
    // A label offers no text of its own to read: its name is what it shows.
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return name();
    }
    return reply.arguments().constFirst().toString();
}

QRect Accessible::extents() const {
    // Coordinates relative to the whole screen.
    const QDBusMessage reply =
        call(m_bus, m_service, m_path.path(), QStringLiteral("org.a11y.atspi.Component"),
             QStringLiteral("GetExtents"), {QVariant::fromValue(0U)});
    if (reply.arguments().isEmpty()) {
        return {};
    }
    const auto argument = reply.arguments().constFirst().value<QDBusArgument>();
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    argument.beginStructure();
    argument >> x >> y >> width >> height;
    argument.endStructure();
    return {x, y, width, height};
}

int Accessible::caretOffset() const {
    return property("org.a11y.atspi.Text", "CaretOffset").toInt();
}

QRect Accessible::characterExtents(int offset) const {
    // Coordinates relative to the whole screen.
    const QDBusMessage reply =
        call(m_bus, m_service, m_path.path(), QStringLiteral("org.a11y.atspi.Text"),
             QStringLiteral("GetCharacterExtents"), {offset, QVariant::fromValue(0U)});
    const QVariantList values = reply.arguments();
    if (reply.type() != QDBusMessage::ReplyMessage || values.size() != 4) {
        return {};
    }
    return {values[0].toInt(), values[1].toInt(), values[2].toInt(), values[3].toInt()};
}

std::optional<std::pair<int, int>> Accessible::selection() const {
    const QString interface = QStringLiteral("org.a11y.atspi.Text");
    const QDBusMessage count =
        call(m_bus, m_service, m_path.path(), interface, QStringLiteral("GetNSelections"));
    if (count.type() != QDBusMessage::ReplyMessage || count.arguments().isEmpty() ||
        count.arguments().constFirst().toInt() < 1) {
        return std::nullopt;
    }
    const QDBusMessage reply =
        call(m_bus, m_service, m_path.path(), interface, QStringLiteral("GetSelection"), {0});
    const QVariantList values = reply.arguments();
    if (reply.type() != QDBusMessage::ReplyMessage || values.size() != 2) {
        return std::nullopt;
    }
    return std::make_pair(values[0].toInt(), values[1].toInt());
}

QList<uint> Accessible::states() const {
    const QDBusMessage reply =
        call(m_bus, m_service, m_path.path(), kAccessible, QStringLiteral("GetState"));
    QList<uint> words;
    if (reply.arguments().isEmpty()) {
        return words;
    }
    const auto argument = reply.arguments().constFirst().value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
        uint word = 0;
        argument >> word;
        words.append(word);
    }
    argument.endArray();
    return words;
}

bool Accessible::isChecked() const {
    const QList<uint> words = states();
    return !words.isEmpty() && (words.constFirst() & (1U << kStateChecked)) != 0;
}

bool Accessible::isActive() const {
    const QList<uint> words = states();
    return !words.isEmpty() && (words.constFirst() & (1U << kStateActive)) != 0;
}

bool Accessible::isFocused() const {
    const QList<uint> words = states();
    return !words.isEmpty() && (words.constFirst() & (1U << kStateFocused)) != 0;
}

bool Accessible::doAction(const QString& action) const {
    const QString interface = QStringLiteral("org.a11y.atspi.Action");
    const QDBusMessage actions =
        call(m_bus, m_service, m_path.path(), interface, QStringLiteral("GetActions"));
    if (actions.type() != QDBusMessage::ReplyMessage || actions.arguments().isEmpty()) {
        return false;
    }
    // a(sss): name, description and key binding of each action, in their order.
    const auto argument = actions.arguments().constFirst().value<QDBusArgument>();
    int index = -1;
    argument.beginArray();
    for (int i = 0; !argument.atEnd(); ++i) {
        QString name;
        QString description;
        QString keys;
        argument.beginStructure();
        argument >> name >> description >> keys;
        argument.endStructure();
        if (index < 0 && name == action) {
            index = i;
        }
    }
    argument.endArray();
    if (index < 0) {
        return false;
    }
    const QDBusMessage reply =
        call(m_bus, m_service, m_path.path(), interface, QStringLiteral("DoAction"), {index});
    return reply.type() == QDBusMessage::ReplyMessage;
}

std::optional<Accessible>
Accessible::find(const std::function<bool(const Accessible&)>& match) const {
    for (const Accessible& child : children()) {
        if (match(child)) {
            return child;
        }
        if (std::optional<Accessible> below = child.find(match)) {
            return below;
        }
    }
    return std::nullopt;
}

QList<Accessible> Accessible::findAll(const std::function<bool(const Accessible&)>& match) const {
    QList<Accessible> found;
    for (const Accessible& child : children()) {
        if (match(child)) {
            found.append(child);
        }
        found.append(child.findAll(match));
    }
    return found;
}
