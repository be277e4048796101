#include "platform/desktop/DesktopPicture.h"

#include "platform/desktop/PortalSettings.h"

#include <QFileInfo>
#include <QStringList>
#include <QUrl>

QString DesktopPicture::path(const PortalSettings &portal)
{
    const QString background = QStringLiteral("org.gnome.desktop.background");
    bool ok = false;
    const uint scheme
        = portal.value(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme")).toUInt(&ok);
    QStringList keys{QStringLiteral("picture-uri")};
    if (ok && scheme == 1)
        keys.prepend(QStringLiteral("picture-uri-dark"));
    for (const QString &key : keys) {
        const QString uri = portal.value(background, key).toString();
        const QUrl url(uri);
        const QString file = url.isLocalFile() ? url.toLocalFile() : (uri.startsWith(QLatin1Char('/')) ? uri : QString());
        if (!file.isEmpty() && QFileInfo(file).isFile())
            return file;
    }
    return {};
}
