#include "platform/autostart/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

// The keys of the [Desktop Entry] group, values as written (escapes are rare enough in the
// keys read here to be left in).
QHash<QString, QString> desktopEntryKeys(const QByteArray &contents)
{
    QHash<QString, QString> keys;
    bool inEntry = false;
    for (const QByteArray &raw : contents.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (const qsizetype eq = line.indexOf(QLatin1Char('=')); inEntry && eq > 0)
            keys.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return keys;
}

bool programFound(const QString &tryExec)
{
    if (const QFileInfo file(tryExec); file.isAbsolute())
        return file.isFile() && file.isExecutable();
    return !QStandardPaths::findExecutable(tryExec).isEmpty();
}

// An Exec argument: quoted when it holds a reserved character, then escaped as every string
// value is (so a backslash inside quotes ends up as four).
QString execArgument(const QString &path)
{
    QString argument = path;
    argument.replace(QLatin1Char('%'), QLatin1String("%%"));
    static const QString reserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    if (std::any_of(argument.cbegin(), argument.cend(), [](QChar c) { return reserved.contains(c); })) {
        QString quoted;
        for (QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        argument = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    return argument.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
}

} // namespace

QString Autostart::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/autostart/veloran.desktop");
}

Autostart::Autostart(QString path) : m_path(std::move(path)) {}

bool Autostart::isEnabled() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QHash<QString, QString> keys = desktopEntryKeys(file.readAll());
    if (keys.value(QStringLiteral("Hidden")) == QLatin1String("true")
        || keys.value(QStringLiteral("X-GNOME-Autostart-enabled")) == QLatin1String("false"))
        return false;
    const QString tryExec = keys.value(QStringLiteral("TryExec"));
    return tryExec.isEmpty() || programFound(tryExec);
}

QByteArray Autostart::entry(const QString &executablePath)
{
    if (!QFileInfo(executablePath).isAbsolute()
        || std::any_of(executablePath.cbegin(), executablePath.cend(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        return {};
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Veloran\n"
                          "Comment=Pin photo collages onto your desktop\n"
                          "Exec=%1\n"
                          "Icon=veloran\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(execArgument(executablePath))
        .toUtf8();
}

bool Autostart::enable(const QString &executablePath)
{
    m_error.clear();
    const QByteArray contents = entry(executablePath);
    if (contents.isEmpty()) {
        m_error = QStringLiteral("no desktop entry can start \"%1\"").arg(executablePath);
        return false;
    }
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder)) {
        m_error = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit()) {
        m_error = QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString());
        return false;
    }
    return true;
}

bool Autostart::disable()
{
    m_error.clear();
    QFile file(m_path);
    if (!QFileInfo::exists(m_path) && !QFileInfo(m_path).isSymLink())
        return true;
    if (!file.remove()) {
        m_error = QStringLiteral("cannot remove %1: %2").arg(m_path, file.errorString());
        return false;
    }
    return true;
}
