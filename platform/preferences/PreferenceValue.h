#pragma once

#include "platform/preferences/PreferenceKey.h"

#include <QVariant>

// Conversions between typed preference values and what the settings file holds. The file is
// text, so a value written as a number or a boolean may come back as a string; anything that
// is not a value of the key's type reads as the key's default.
class PreferenceValue {
public:
    static bool decode(const QVariant &stored, bool fallback);
    static quint32 decode(const QVariant &stored, quint32 fallback);
    static QString decode(const QVariant &stored, const QString &fallback);
    // A value that is not a map of strings to strings reads as an empty map, whatever the fallback.
    static StringMap decode(const QVariant &stored, const StringMap &fallback);

    static QVariant encode(bool value) { return value; }
    static QVariant encode(quint32 value) { return qint64(value); }
    static QVariant encode(const QString &value) { return value; }
    static QVariant encode(const StringMap &value);
};
