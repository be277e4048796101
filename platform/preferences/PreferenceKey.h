#pragma once

#include <QMap>
#include <QString>

using StringMap = QMap<QString, QString>;

// A user preference: its key text and the value it has when absent or unreadable.
template <typename T>
struct PreferenceKey {
    const char *name;
    T defaultValue;

    QString text() const { return QString::fromLatin1(name); }
};
