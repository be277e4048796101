#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QVariant>

class QDBusVariant;

// The desktop's published settings (appearance, accessibility) from the XDG desktop portal
// (org.freedesktop.portal.Settings). One request is sent at construction and nothing ever
// waits for it: until its answer arrives every value reads as unset, and the answer comes
// as settingChanged() for each key, like any later change (the portal's SettingChanged).
class PortalSettings : public QObject {
    Q_OBJECT
public:
    // Patience for a portal still starting at login; nobody waits meanwhile.
    static constexpr int timeoutMs = 25000;
    static inline const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
    static inline const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
    static inline const QString interface = QStringLiteral("org.freedesktop.portal.Settings");
    // The namespaces asked for; others are not kept.
    static const QStringList &namespaces();

    explicit PortalSettings(QObject *parent = nullptr);
    PortalSettings(const QDBusConnection &bus, QObject *parent = nullptr);

    // Structures and arrays come back as QVariantList, dictionaries as QVariantMap.
    QVariant value(const QString &nameSpace, const QString &key) const;
    // Whether a portal has answered so far.
    bool isAvailable() const;

    // D-Bus containers as plain QVariants (see value()).
    static QVariant unwrap(const QVariant &dbusValue);

signals:
    void settingChanged(const QString &nameSpace, const QString &key);

private slots:
    void onSettingChanged(const QString &nameSpace, const QString &key, const QDBusVariant &value);

private:
    void takeReply(const QDBusMessage &reply);

    QDBusConnection m_bus;
    QHash<QString, QVariantMap> m_values;
    bool m_available = false;
};
