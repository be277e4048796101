#pragma once

#include "platform/preferences/Preferences.h"

#include <QSettings>

#include <memory>
#include <mutex>

// Preferences in $XDG_CONFIG_HOME/Veloran/Veloran.conf.
class SettingsPreferences : public Preferences {
    Q_OBJECT
public:
    static inline const QString organization = QStringLiteral("Veloran");
    static inline const QString application = QStringLiteral("Veloran");

    explicit SettingsPreferences(QObject *parent = nullptr);
    // A preferences file of one's own (tests, tools).
    explicit SettingsPreferences(const QString &filePath, QObject *parent = nullptr);
    ~SettingsPreferences() override;

    QString filePath() const;

    QVariant rawValue(const QString &key) const override;
    bool containsRawValue(const QString &key) const override;
    void setRawValue(const QString &key, const QVariant &value) override;
    void removeRawValue(const QString &key) override;
    void sync() override;

private:
    mutable std::mutex m_mutex;
    std::unique_ptr<QSettings> m_settings;
};
