#pragma once

#include <QStringList>

// The symbols we draw ourselves, with the freedesktop icon names that fit them.
class SymbolCatalog {
public:
    struct Entry {
        const char *name;
        QStringList themeIcons; // first match in the desktop's theme wins
    };

    static const QList<Entry> &entries();
    static const Entry *find(const QString &name);
    static QStringList names();
    static QString resourcePath(const QString &name);
};
