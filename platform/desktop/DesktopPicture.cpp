#include "platform/desktop/DesktopPicture.h"

#include "platform/desktop/PortalSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

DesktopPicture::Desktop DesktopPicture::desktopFrom(const QByteArray &xdgCurrentDesktop)
{
    // A colon-separated list, most specific first ("ubuntu:GNOME", "X-Cinnamon").
    for (const QByteArray &name : xdgCurrentDesktop.toLower().split(':')) {
        if (name == "gnome" || name == "gnome-classic" || name == "unity" || name == "budgie")
            return Desktop::Gnome;
        if (name == "x-cinnamon" || name == "cinnamon")
            return Desktop::Cinnamon;
        if (name == "mate")
            return Desktop::Mate;
        if (name == "kde")
            return Desktop::Plasma;
        if (name == "xfce")
            return Desktop::Xfce;
    }
    return Desktop::Other;
}

QString DesktopPicture::runProgram(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments, QIODevice::ReadOnly);
    // Settings tools answer in milliseconds; one that hangs must not hold anything up.
    if (!process.waitForFinished(2000)) {
        process.kill();
        process.waitForFinished(500);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString DesktopPicture::defaultPlasmaConfig()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/plasma-org.kde.plasma.desktop-appletsrc");
}

DesktopPicture::DesktopPicture(const PortalSettings *portal, Desktop desktop, Runner run, QString plasmaConfig)
    : m_portal(portal), m_desktop(desktop), m_run(std::move(run)), m_plasmaConfig(std::move(plasmaConfig))
{
}

QString DesktopPicture::path(const ScreenInfo &screen, int screenNumber) const
{
    if (const QString file = fromPortal(); !file.isEmpty())
        return file;
    switch (m_desktop) {
    case Desktop::Gnome:
        return fromGSettings(QStringLiteral("org.gnome.desktop.background"),
                             prefersDark() ? QStringList{QStringLiteral("picture-uri-dark"), QStringLiteral("picture-uri")}
                                           : QStringList{QStringLiteral("picture-uri")});
    case Desktop::Cinnamon:
        return fromGSettings(QStringLiteral("org.cinnamon.desktop.background"), {QStringLiteral("picture-uri")});
    case Desktop::Mate:
        return fromGSettings(QStringLiteral("org.mate.background"), {QStringLiteral("picture-filename")});
    case Desktop::Plasma: {
        QFile config(m_plasmaConfig);
        if (!config.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return plasmaImage(QString::fromUtf8(config.readAll()), screenNumber);
    }
    case Desktop::Xfce:
        return fromXfce(screen.name);
    case Desktop::Other:
        break;
    }
    return {};
}

QString DesktopPicture::fromPortal() const
{
    if (!m_portal)
        return {};
    const QString background = QStringLiteral("org.gnome.desktop.background");
    bool ok = false;
    const uint scheme
        = m_portal->value(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme")).toUInt(&ok);
    QStringList keys{QStringLiteral("picture-uri")};
    if (ok && scheme == 1)
        keys.prepend(QStringLiteral("picture-uri-dark"));
    for (const QString &key : std::as_const(keys)) {
        if (const QString file = fileFrom(m_portal->value(background, key).toString()); !file.isEmpty())
            return file;
    }
    return {};
}

bool DesktopPicture::prefersDark() const
{
    return m_run(QStringLiteral("gsettings"), {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.interface"),
                                               QStringLiteral("color-scheme")})
        .contains(QLatin1String("dark"));
}

QString DesktopPicture::fromGSettings(const QString &schema, const QStringList &keys) const
{
    for (const QString &key : keys) {
        if (const QString file = fileFrom(m_run(QStringLiteral("gsettings"), {QStringLiteral("get"), schema, key}));
            !file.isEmpty())
            return file;
    }
    return {};
}

QString DesktopPicture::fromXfce(const QString &monitor) const
{
    const QString channel = QStringLiteral("xfce4-desktop");
    const QStringList properties = m_run(QStringLiteral("xfconf-query"), {QStringLiteral("-c"), channel, QStringLiteral("-l")})
                                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString property = xfceProperty(properties, monitor);
    if (property.isEmpty())
        return {};
    return fileFrom(m_run(QStringLiteral("xfconf-query"), {QStringLiteral("-c"), channel, QStringLiteral("-p"), property}));
}

QString DesktopPicture::fileFrom(const QString &value)
{
    QString text = value.trimmed();
    if (text.size() >= 2 && (text.front() == QLatin1Char('\'') || text.front() == QLatin1Char('"')) && text.back() == text.front())
        text = text.mid(1, text.size() - 2);
    QString file;
    if (text.startsWith(QLatin1String("file:")))
        file = QUrl(text).toLocalFile();
    else if (text.startsWith(QLatin1Char('/')))
        file = text;
    return !file.isEmpty() && QFileInfo::exists(file) ? file : QString();
}

namespace {

// The largest picture of a wallpaper package ("…/contents/images/1920x1080.jpg").
QString largestInPackage(const QString &folder)
{
    QString best;
    qint64 bestArea = -1;
    const QDir images(folder + QStringLiteral("/contents/images"));
    for (const QFileInfo &entry : images.entryInfoList(QDir::Files, QDir::Name)) {
        const QSize size = QImageReader(entry.filePath()).size();
        const qint64 area = qint64(size.width()) * size.height();
        if (area > bestArea) {
            bestArea = area;
            best = entry.filePath();
        }
    }
    return best;
}

} // namespace

QString DesktopPicture::plasmaImage(const QString &config, int screenNumber)
{
    // [Containments][N] holds lastScreen; [Containments][N][Wallpaper][org.kde.image][General]
    // holds Image. Panels have no Image, so only desktops are counted.
    static const QRegularExpression section(QStringLiteral(R"(^\[Containments\]\[(\d+)\](.*)$)"));
    QMap<int, int> screenOf;
    QMap<int, QString> imageOf;
    int current = -1;
    bool inImageGroup = false;
    for (const QString &raw : config.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const QRegularExpressionMatch match = section.match(line);
            current = match.hasMatch() ? match.captured(1).toInt() : -1;
            inImageGroup = match.hasMatch() && match.captured(2) == QLatin1String("[Wallpaper][org.kde.image][General]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (current < 0 || equals < 0)
            continue;
        const QString key = line.left(equals), value = line.mid(equals + 1);
        if (inImageGroup && key == QLatin1String("Image"))
            imageOf[current] = value;
        else if (!inImageGroup && key == QLatin1String("lastScreen"))
            screenOf[current] = value.toInt();
    }
    QString chosen;
    for (auto it = imageOf.cbegin(); it != imageOf.cend(); ++it) {
        if (imageOf.size() == 1 || screenOf.value(it.key(), -1) == screenNumber) {
            chosen = it.value();
            break;
        }
    }
    if (chosen.isEmpty())
        return {};
    const QString local = chosen.startsWith(QLatin1String("file:")) ? QUrl(chosen).toLocalFile() : chosen;
    if (QFileInfo(local).isDir())
        return largestInPackage(local);
    return fileFrom(local);
}

QString DesktopPicture::xfceProperty(const QStringList &properties, const QString &monitor)
{
    QStringList images;
    for (const QString &property : properties) {
        if (property.trimmed().endsWith(QLatin1String("/last-image")))
            images.append(property.trimmed());
    }
    images.sort();
    const QString wanted = QStringLiteral("/monitor%1/").arg(monitor);
    for (const QString &property : std::as_const(images)) {
        if (!monitor.isEmpty() && property.contains(wanted))
            return property;
    }
    return images.value(0);
}
