#pragma once

#include "platform/preferences/Preferences.h"

#include <QHash>

// Preferences that live as long as the object; values keep the types they were stored with.
class MemoryPreferences : public Preferences {
    Q_OBJECT
public:
    using Preferences::Preferences;

    QVariant rawValue(const QString &key) const override { return m_values.value(key); }
    bool containsRawValue(const QString &key) const override { return m_values.contains(key); }
    void setRawValue(const QString &key, const QVariant &value) override;
    void removeRawValue(const QString &key) override;
    void sync() override {}

private:
    QHash<QString, QVariant> m_values;
};
