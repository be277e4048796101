#pragma once

#include "platform/preferences/PreferenceKeys.h"
#include "platform/preferences/PreferenceValue.h"

#include <QObject>

// The user's preferences, read and written through the typed keys of PreferenceKeys.
// Used on the GUI thread.
class Preferences : public QObject {
    Q_OBJECT
public:
    ~Preferences() override;

    template <typename T>
    T value(const PreferenceKey<T> &key) const
    {
        return PreferenceValue::decode(rawValue(key.text()), key.defaultValue);
    }
    template <typename T>
    void setValue(const PreferenceKey<T> &key, const T &value)
    {
        setRawValue(key.text(), PreferenceValue::encode(value));
    }
    template <typename T>
    bool contains(const PreferenceKey<T> &key) const
    {
        return containsRawValue(key.text());
    }
    template <typename T>
    void remove(const PreferenceKey<T> &key)
    {
        removeRawValue(key.text());
    }

    // Untyped access, for what the keys do not describe.
    virtual QVariant rawValue(const QString &key) const = 0;
    virtual bool containsRawValue(const QString &key) const = 0;
    virtual void setRawValue(const QString &key, const QVariant &value) = 0;
    virtual void removeRawValue(const QString &key) = 0;
    // Writes pending changes out now (they are written soon anyway).
    virtual void sync() = 0;

signals:
    void changed(const QString &key);

protected:
    explicit Preferences(QObject *parent = nullptr);
};
