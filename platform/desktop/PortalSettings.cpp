#include "platform/desktop/PortalSettings.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

const QStringList &PortalSettings::namespaces()
{
    static const QStringList list{
        QStringLiteral("org.freedesktop.appearance"),
        QStringLiteral("org.gnome.desktop.interface"),
        QStringLiteral("org.gnome.desktop.a11y.interface"),
        QStringLiteral("org.gnome.desktop.background"),
        QStringLiteral("org.kde.kdeglobals.KDE"),
    };
    return list;
}

PortalSettings::PortalSettings(QObject *parent) : PortalSettings(QDBusConnection::sessionBus(), parent) {}

PortalSettings::PortalSettings(const QDBusConnection &bus, QObject *parent) : QObject(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(service, path, interface, QStringLiteral("SettingChanged"), this,
                  SLOT(onSettingChanged(QString, QString, QDBusVariant)));
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("ReadAll"));
    call << namespaces();
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *done) {
        done->deleteLater();
        takeReply(done->reply());
    });
}

void PortalSettings::takeReply(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return;
    m_available = true;
    const QVariantMap all = unwrap(reply.arguments().constFirst()).toMap();
    QList<std::pair<QString, QString>> arrived;
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        QVariantMap &keys = m_values[it.key()];
        const QVariantMap incoming = it.value().toMap();
        for (auto k = incoming.cbegin(); k != incoming.cend(); ++k) {
            // A change signalled while the answer was on its way is newer than it.
            if (keys.contains(k.key()))
                continue;
            keys.insert(k.key(), k.value());
            arrived.append({it.key(), k.key()});
        }
    }
    for (const auto &[nameSpace, key] : std::as_const(arrived))
        emit settingChanged(nameSpace, key);
}

QVariant PortalSettings::value(const QString &nameSpace, const QString &key) const
{
    return m_values.value(nameSpace).value(key);
}

bool PortalSettings::isAvailable() const
{
    return m_available;
}

void PortalSettings::onSettingChanged(const QString &nameSpace, const QString &key, const QDBusVariant &value)
{
    if (!namespaces().contains(nameSpace))
        return;
    m_values[nameSpace].insert(key, unwrap(QVariant::fromValue(value)));
    emit settingChanged(nameSpace, key);
}

QVariant PortalSettings::unwrap(const QVariant &dbusValue)
{
    if (dbusValue.canConvert<QDBusVariant>() && dbusValue.userType() == qMetaTypeId<QDBusVariant>())
        return unwrap(dbusValue.value<QDBusVariant>().variant());
    if (dbusValue.userType() != qMetaTypeId<QDBusArgument>())
        return dbusValue;

    const QDBusArgument arg = dbusValue.value<QDBusArgument>();
    switch (arg.currentType()) {
    case QDBusArgument::BasicType:
    case QDBusArgument::VariantType:
        return unwrap(arg.asVariant());
    case QDBusArgument::StructureType: {
        QVariantList fields;
        arg.beginStructure();
        while (!arg.atEnd())
            fields.append(unwrap(arg.asVariant()));
        arg.endStructure();
        return fields;
    }
    case QDBusArgument::ArrayType: {
        QVariantList items;
        arg.beginArray();
        while (!arg.atEnd())
            items.append(unwrap(arg.asVariant()));
        arg.endArray();
        return items;
    }
    case QDBusArgument::MapType: {
        QVariantMap map;
        arg.beginMap();
        while (!arg.atEnd()) {
            arg.beginMapEntry();
            const QString key = unwrap(arg.asVariant()).toString();
            const QVariant value = unwrap(arg.asVariant());
            arg.endMapEntry();
            map.insert(key, value);
        }
        arg.endMap();
        return map;
    }
    default:
        return {};
    }
}
