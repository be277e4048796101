#include "platform/symbols/SymbolCatalog.h"

const QList<SymbolCatalog::Entry> &SymbolCatalog::entries()
{
    static const QList<Entry> list{
        {"arrow.triangle.2.circlepath", {}},
        {"arrow.up.left.and.arrow.down.right", {}},
        {"checkmark", {QStringLiteral("object-select")}},
        {"crop", {QStringLiteral("transform-crop")}},
        {"folder", {QStringLiteral("folder")}},
        {"gearshape", {QStringLiteral("preferences-system"), QStringLiteral("configure")}},
        {"minus", {QStringLiteral("list-remove")}},
        {"photo", {QStringLiteral("image-x-generic")}},
        {"photo.badge.plus", {QStringLiteral("insert-image")}},
        {"photo.on.rectangle", {QStringLiteral("folder-pictures"), QStringLiteral("image-x-generic")}},
        {"photo.tv", {}},
        {"plus", {QStringLiteral("list-add")}},
        {"rectangle.stack", {}},
        {"sparkles", {}},
        {"square.and.arrow.up", {QStringLiteral("document-export"), QStringLiteral("document-send")}},
        {"square.grid.2x2", {QStringLiteral("view-grid"), QStringLiteral("view-app-grid")}},
        {"trash", {QStringLiteral("user-trash"), QStringLiteral("edit-delete")}},
    };
    return list;
}

const SymbolCatalog::Entry *SymbolCatalog::find(const QString &name)
{
    for (const Entry &entry : entries()) {
        if (name == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

QStringList SymbolCatalog::names()
{
    QStringList list;
    for (const Entry &entry : entries())
        list.append(QString::fromLatin1(entry.name));
    return list;
}

QString SymbolCatalog::resourcePath(const QString &name)
{
    return QStringLiteral(":/veloran/symbols/%1.svg").arg(name);
}
