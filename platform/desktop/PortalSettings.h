#pragma once

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QHash>
#include <QObject>
#include <QVariant>

#include <optional>

class QDBusVariant;

// The desktop's published settings (appearance, accessibility) from the XDG desktop portal
// (org.freedesktop.portal.Settings). One request is sent at construction; the first read waits
// for its answer at most timeoutMs, so a missing or hung portal cannot hold up start-up.
// Later changes arrive through the portal's SettingChanged signal.
class PortalSettings : public QObject {
    Q_OBJECT
public:
    static constexpr int timeoutMs = 300;
    // A portal that did not answer in time (still starting at login) is asked once more, with
    // patience; what it then says arrives as settingChanged().
    static constexpr int retryTimeoutMs = 10000;
    static inline const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
    static inline const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
    static inline const QString interface = QStringLiteral("org.freedesktop.portal.Settings");
    // The namespaces asked for; others are not kept.
    static const QStringList &namespaces();

    explicit PortalSettings(QObject *parent = nullptr);
    PortalSettings(const QDBusConnection &bus, QObject *parent = nullptr);

    // Structures and arrays come back as QVariantList, dictionaries as QVariantMap.
    QVariant value(const QString &nameSpace, const QString &key) const;
    // Whether a portal answered.
    bool isAvailable() const;

    // D-Bus containers as plain QVariants (see value()).
    static QVariant unwrap(const QVariant &dbusValue);

signals:
    void settingChanged(const QString &nameSpace, const QString &key);

private slots:
    void onSettingChanged(const QString &nameSpace, const QString &key, const QDBusVariant &value);

private:
    void takeReply() const;
    bool merge(const QDBusMessage &reply, bool overwrite) const;
    void retry();

    QDBusConnection m_bus;
    mutable std::optional<QDBusPendingCall> m_pending;
    mutable QHash<QString, QVariantMap> m_values;
    mutable bool m_available = false;
};
