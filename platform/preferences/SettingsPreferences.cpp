#include "platform/preferences/SettingsPreferences.h"

SettingsPreferences::SettingsPreferences(QObject *parent)
    : Preferences(parent)
    , m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, organization, application))
{
}

SettingsPreferences::SettingsPreferences(const QString &filePath, QObject *parent)
    : Preferences(parent), m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{
}

SettingsPreferences::~SettingsPreferences()
{
    m_settings->sync();
}

QString SettingsPreferences::filePath() const
{
    std::lock_guard lock(m_mutex);
    return m_settings->fileName();
}

QVariant SettingsPreferences::rawValue(const QString &key) const
{
    std::lock_guard lock(m_mutex);
    return m_settings->value(key);
}

bool SettingsPreferences::containsRawValue(const QString &key) const
{
    std::lock_guard lock(m_mutex);
    return m_settings->contains(key);
}

void SettingsPreferences::setRawValue(const QString &key, const QVariant &value)
{
    {
        std::lock_guard lock(m_mutex);
        m_settings->setValue(key, value);
    }
    emit changed(key);
}

void SettingsPreferences::removeRawValue(const QString &key)
{
    {
        std::lock_guard lock(m_mutex);
        m_settings->remove(key);
    }
    emit changed(key);
}

void SettingsPreferences::sync()
{
    std::lock_guard lock(m_mutex);
    m_settings->sync();
}
