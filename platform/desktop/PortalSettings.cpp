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
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("ReadAll"));
    call << namespaces();
    m_pending = m_bus.asyncCall(call, timeoutMs);
    m_bus.connect(service, path, interface, QStringLiteral("SettingChanged"), this,
                  SLOT(onSettingChanged(QString, QString, QDBusVariant)));
}

void PortalSettings::takeReply() const
{
    if (!m_pending)
        return;
    QDBusPendingCall pending = *m_pending;
    m_pending.reset();
    pending.waitForFinished();
    const QDBusMessage reply = pending.reply();
    if (merge(reply, false))
        return;
    if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
        QMetaObject::invokeMethod(const_cast<PortalSettings *>(this), &PortalSettings::retry, Qt::QueuedConnection);
}

bool PortalSettings::merge(const QDBusMessage &reply, bool overwrite) const
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    m_available = true;
    const QVariantMap all = unwrap(reply.arguments().constFirst()).toMap();
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        QVariantMap &keys = m_values[it.key()];
        const QVariantMap incoming = it.value().toMap();
        for (auto k = incoming.cbegin(); k != incoming.cend(); ++k) {
            // Changes signalled before the first answer was read are newer than it.
            if (overwrite || !keys.contains(k.key()))
                keys.insert(k.key(), k.value());
        }
    }
    return true;
}

void PortalSettings::retry()
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("ReadAll"));
    call << namespaces();
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, retryTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *done) {
        done->deleteLater();
        const QDBusMessage reply = done->reply();
        if (!merge(reply, true))
            return;
        const QVariantMap all = unwrap(reply.arguments().constFirst()).toMap();
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            const QVariantMap keys = it.value().toMap();
            for (auto k = keys.cbegin(); k != keys.cend(); ++k)
                emit settingChanged(it.key(), k.key());
        }
    });
}

QVariant PortalSettings::value(const QString &nameSpace, const QString &key) const
{
    takeReply();
    return m_values.value(nameSpace).value(key);
}

bool PortalSettings::isAvailable() const
{
    takeReply();
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
