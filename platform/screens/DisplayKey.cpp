#include "platform/screens/DisplayKey.h"

#include <QRegularExpression>
#include <QScreen>
#include <QUuid>

namespace {

// Fixed for all time: changing it would orphan every stored display assignment.
const QUuid kNamespace(QStringLiteral("{6f1d0c39-5a7e-4b53-9a52-3c0f6d2e8b41}"));

QString keyFor(const QString &material)
{
    return QUuid::createUuidV5(kNamespace, material.toUtf8()).toString(QUuid::WithoutBraces).toUpper();
}

} // namespace

QString DisplayKey::fromIdentity(const QString &manufacturer, const QString &model, const QString &serialNumber,
                                 const QString &connector)
{
    const QString maker = manufacturer.trimmed();
    const QString product = model.trimmed();
    const QString serial = serialNumber.trimmed();
    const QChar sep(0x1f);
    if (!maker.isEmpty() || !product.isEmpty() || !serial.isEmpty()) {
        QString material = QStringLiteral("edid") + sep + maker + sep + product + sep + serial;
        if (serial.isEmpty())
            material += sep + connector.trimmed();
        return keyFor(material);
    }
    if (!connector.trimmed().isEmpty())
        return keyFor(QStringLiteral("connector") + sep + connector.trimmed());
    return QString();
}

QString DisplayKey::forScreen(const QScreen &screen, int fallbackIndex)
{
    const QString key = fromIdentity(screen.manufacturer(), screen.model(), screen.serialNumber(), screen.name());
    if (!key.isEmpty() || fallbackIndex < 0)
        return key;
    // Only virtual screens get here (a bare offscreen or VNC session); their position is all there is.
    return keyFor(QStringLiteral("unnamed") + QChar(0x1f) + QString::number(fallbackIndex));
}

bool DisplayKey::isWellFormed(const QString &key)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
    return pattern.match(key).hasMatch();
}
