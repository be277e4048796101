#include "platform/fake/MemoryPreferences.h"

void MemoryPreferences::setRawValue(const QString &key, const QVariant &value)
{
    m_values.insert(key, value);
    emit changed(key);
}

void MemoryPreferences::removeRawValue(const QString &key)
{
    m_values.remove(key);
    emit changed(key);
}
