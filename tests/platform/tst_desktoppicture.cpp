#include "platform/desktop/DesktopPicture.h"
#include "platform/fake/FakeScreenService.h"

#include "support/Sandbox.h"

#include <QtTest>

// Where each desktop keeps a screen's desktop picture.
class TestDesktopPicture : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString file(const QString &name, QSize size = {8, 8})
    {
        const QString path = m_dir.filePath(name);
        if (!TestFiles::write(path, {}) || !QImage(size, QImage::Format_RGB32).save(path, "PNG"))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    static ScreenInfo screen(const QString &name) { return FakeScreenService::makeScreen(name, {}); }

private Q_SLOTS:
    void desktopsAndFilesByName()
    {
        using D = DesktopPicture::Desktop;
        for (const auto &[variable, desktop] :
             {std::pair{QByteArray("ubuntu:GNOME"), D::Gnome}, {"X-Cinnamon", D::Cinnamon}, {"MATE", D::Mate},
              {"KDE", D::Plasma}, {"XFCE", D::Xfce}, {"LXQt", D::Other}, {QByteArray(), D::Other}})
            QVERIFY2(DesktopPicture::desktopFrom(variable) == desktop, variable.constData());

        const QString spaced = file(QStringLiteral("a b.png"));
        QCOMPARE(DesktopPicture::fileFrom(u'\'' + QUrl::fromLocalFile(spaced).url(QUrl::FullyEncoded) + u'\''), spaced);
        QCOMPARE(DesktopPicture::fileFrom(u'\'' + spaced + u'\''), spaced);
        QCOMPARE(DesktopPicture::fileFrom(spaced), spaced);
        for (const QString nothing : {"''", "'file:///no/such.jpg'", "none", ""})
            QVERIFY2(DesktopPicture::fileFrom(nothing).isEmpty(), qPrintable(nothing));
    }

    void everyDesktop()
    {
        const QString light = file(QStringLiteral("light.png")), dark = file(QStringLiteral("dark.png"));
        QStringList asked;
        bool darkScheme = false;
        const auto run = [&](const QString &program, const QStringList &arguments) -> QString {
            asked << program + u' ' + arguments.join(u' ');
            const QString key = arguments.value(2);
            if (key == u"color-scheme")
                return darkScheme ? QStringLiteral("'prefer-dark'") : QStringLiteral("'default'");
            if (key.startsWith(u"picture-uri"))
                return u'\'' + QUrl::fromLocalFile(key.endsWith(u"dark") ? dark : light).toString() + u'\'';
            if (key == u"picture-filename")
                return u'\'' + light + u'\'';
            return {};
        };
        using D = DesktopPicture::Desktop;
        QCOMPARE(DesktopPicture(nullptr, D::Gnome, run).path(screen("DP-1"), 0), light);
        darkScheme = true;
        QCOMPARE(DesktopPicture(nullptr, D::Gnome, run).path(screen("DP-1"), 0), dark);
        asked.clear();
        QCOMPARE(DesktopPicture(nullptr, D::Cinnamon, run).path(screen("DP-1"), 0), light);
        QCOMPARE(asked, QStringList{"gsettings get org.cinnamon.desktop.background picture-uri"});
        asked.clear();
        QCOMPARE(DesktopPicture(nullptr, D::Mate, run).path(screen("DP-1"), 0), light);
        QCOMPARE(asked, QStringList{"gsettings get org.mate.background picture-filename"});
        // Elsewhere nothing is asked: the root background is read instead.
        asked.clear();
        QVERIFY(DesktopPicture(nullptr, D::Other, run).path(screen("DP-1"), 0).isEmpty());
        QVERIFY(asked.isEmpty());

        // Xfce's per-monitor and Plasma's per-screen pictures.
        const QString left = file(QStringLiteral("left.png")), right = file(QStringLiteral("right.png"));
        const QString list = QStringLiteral("/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
                                            "/backdrop/screen0/monitorDP-1/workspace0/image-style\n"
                                            "/backdrop/screen0/monitorDP-1/workspace0/last-image\n");
        const auto xfconf = [&](const QString &, const QStringList &arguments) -> QString {
            if (arguments.contains(QStringLiteral("-l")))
                return list;
            return arguments.last().contains(u"DP-1") ? right : left;
        };
        const DesktopPicture xfce(nullptr, DesktopPicture::Desktop::Xfce, xfconf);
        QCOMPARE(xfce.path(screen("DP-1"), 1), right);
        QCOMPARE(xfce.path(screen("HDMI-1"), 0), left);
        QCOMPARE(xfce.path(screen("VGA-9"), 0), right); // unknown monitor: the first listed, sorted
        QVERIFY(DesktopPicture::xfceProperty({QStringLiteral("/backdrop/single-workspace-mode")}, "DP-1").isEmpty());

        const QString first = file(QStringLiteral("first.png"));
        const QString package = m_dir.filePath(QStringLiteral("Next"));
        file(QStringLiteral("Next/contents/images/1280x800.png"), {12, 8});
        const QString largest = file(QStringLiteral("Next/contents/images/5120x2880.png"), {51, 28});
        const QString config = QStringLiteral(
            "[Containments][1]\nactivityId=a\nlastScreen=0\nplugin=org.kde.plasma.folder\nwallpaperplugin=org.kde.image\n\n"
            "[Containments][1][Wallpaper][org.kde.image][General]\nImage=file://%1\n\n"
            "[Containments][2]\nlastScreen=0\nplugin=org.kde.panel\n\n"
            "[Containments][7]\nlastScreen=1\nplugin=org.kde.plasma.folder\n\n"
            "[Containments][7][Wallpaper][org.kde.image][General]\nImage=%2\n")
                                   .arg(first, package);
        QCOMPARE(DesktopPicture::plasmaImage(config, 0), first);
        QCOMPARE(DesktopPicture::plasmaImage(config, 1), largest); // a wallpaper package
        QVERIFY(DesktopPicture::plasmaImage(config, 2).isEmpty());
        QVERIFY(DesktopPicture::plasmaImage(QStringLiteral("[General]\nImage=x\n"), 0).isEmpty());

        const QString path = m_dir.filePath(QStringLiteral("appletsrc"));
        QVERIFY(TestFiles::write(path, config.toUtf8()));
        const auto nothing = [](const QString &, const QStringList &) { return QString(); };
        QCOMPARE(DesktopPicture(nullptr, DesktopPicture::Desktop::Plasma, nothing, path).path(screen("DP-2"), 1), largest);
    }
};

QTEST_GUILESS_MAIN(TestDesktopPicture)
#include "tst_desktoppicture.moc"
