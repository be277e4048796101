#include "platform/preferences/PreferenceValue.h"

#include <cmath>
#include <limits>
#include <optional>

namespace {

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

std::optional<qint64> integerOf(const QVariant &v)
{
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray) {
        bool ok = false;
        const qint64 value = v.toString().trimmed().toLongLong(&ok);
        return ok ? std::optional<qint64>(value) : std::nullopt;
    }
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > 9e15)
            return std::nullopt;
        return qint64(d);
    }
    if (v.typeId() == QMetaType::ULongLong) {
        const qulonglong u = v.toULongLong();
        if (u > qulonglong(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return qint64(u);
    }
    if (isNumber(v))
        return v.toLongLong();
    return std::nullopt;
}

} // namespace

bool PreferenceValue::decode(const QVariant &stored, bool fallback)
{
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    if (isNumber(stored))
        return stored.toDouble() != 0;
    if (stored.typeId() == QMetaType::QString || stored.typeId() == QMetaType::QByteArray) {
        const QString text = stored.toString().trimmed().toLower();
        if (text == QLatin1String("true") || text == QLatin1String("yes") || text == QLatin1String("1"))
            return true;
        if (text == QLatin1String("false") || text == QLatin1String("no") || text == QLatin1String("0"))
            return false;
    }
    return fallback;
}

quint32 PreferenceValue::decode(const QVariant &stored, quint32 fallback)
{
    const std::optional<qint64> value = integerOf(stored);
    if (!value || *value < 0 || *value > qint64(std::numeric_limits<quint32>::max()))
        return fallback;
    return quint32(*value);
}

QString PreferenceValue::decode(const QVariant &stored, const QString &fallback)
{
    if (stored.typeId() == QMetaType::QString)
        return stored.toString();
    return fallback;
}

StringMap PreferenceValue::decode(const QVariant &stored, const StringMap &)
{
    StringMap map;
    auto take = [&map](const auto &entries) {
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            if (it.value().typeId() != QMetaType::QString)
                return false;
            map.insert(it.key(), it.value().toString());
        }
        return true;
    };
    bool ok = false;
    if (stored.typeId() == QMetaType::QVariantMap)
        ok = take(stored.toMap());
    else if (stored.typeId() == QMetaType::QVariantHash)
        ok = take(stored.toHash());
    return ok ? map : StringMap();
}

QVariant PreferenceValue::encode(const StringMap &value)
{
    QVariantMap map;
    for (auto it = value.cbegin(); it != value.cend(); ++it)
        map.insert(it.key(), it.value());
    return map;
}
