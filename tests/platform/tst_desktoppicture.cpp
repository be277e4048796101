#include "platform/desktop/DesktopPicture.h"

#include "support/Sandbox.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

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
    static ScreenInfo screen(const QString &name)
    {
        ScreenInfo info;
        info.name = name;
        return info;
    }

private Q_SLOTS:
    void desktopsByName_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<int>("desktop");
        QTest::newRow("ubuntu") << QByteArray("ubuntu:GNOME") << int(DesktopPicture::Desktop::Gnome);
        QTest::newRow("cinnamon") << QByteArray("X-Cinnamon") << int(DesktopPicture::Desktop::Cinnamon);
        QTest::newRow("mate") << QByteArray("MATE") << int(DesktopPicture::Desktop::Mate);
        QTest::newRow("plasma") << QByteArray("KDE") << int(DesktopPicture::Desktop::Plasma);
        QTest::newRow("xfce") << QByteArray("XFCE") << int(DesktopPicture::Desktop::Xfce);
        QTest::newRow("lxqt") << QByteArray("LXQt") << int(DesktopPicture::Desktop::Other);
        QTest::newRow("unset") << QByteArray() << int(DesktopPicture::Desktop::Other);
    }

    void desktopsByName()
    {
        QFETCH(QByteArray, variable);
        QFETCH(int, desktop);
        QCOMPARE(int(DesktopPicture::desktopFrom(variable)), desktop);
    }

    void settingsValuesNameFiles()
    {
        const QString spaced = file(QStringLiteral("a b.png"));
        QCOMPARE(DesktopPicture::fileFrom(QLatin1Char('\'') + QUrl::fromLocalFile(spaced).toString(QUrl::FullyEncoded) + QLatin1Char('\'')),
                 spaced);
        QCOMPARE(DesktopPicture::fileFrom(QLatin1Char('\'') + spaced + QLatin1Char('\'')), spaced);
        QCOMPARE(DesktopPicture::fileFrom(spaced), spaced);
        for (const QString &nothing : {QStringLiteral("''"), QStringLiteral("'file:///no/such.jpg'"), QStringLiteral("none"),
                                       QString()})
            QVERIFY2(DesktopPicture::fileFrom(nothing).isEmpty(), qPrintable(nothing));
    }

    void gsettingsDesktops()
    {
        const QString light = file(QStringLiteral("light.png")), dark = file(QStringLiteral("dark.png"));
        QStringList asked;
        bool darkScheme = false;
        const auto run = [&](const QString &program, const QStringList &arguments) -> QString {
            asked << program + u' ' + arguments.join(u' ');
            const QString key = arguments.value(2);
            if (key == u"color-scheme")
                return darkScheme ? QStringLiteral("'prefer-dark'") : QStringLiteral("'default'");
            if (key == u"picture-uri-dark")
                return QLatin1Char('\'') + QUrl::fromLocalFile(dark).toString() + QLatin1Char('\'');
            if (key == u"picture-uri")
                return QLatin1Char('\'') + QUrl::fromLocalFile(light).toString() + QLatin1Char('\'');
            if (key == u"picture-filename")
                return QLatin1Char('\'') + light + QLatin1Char('\'');
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
    }

    void xfcePerMonitor()
    {
        const QString left = file(QStringLiteral("left.png")), right = file(QStringLiteral("right.png"));
        const QString list = QStringLiteral("/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
                                            "/backdrop/screen0/monitorDP-1/workspace0/image-style\n"
                                            "/backdrop/screen0/monitorDP-1/workspace0/last-image\n");
        const auto run = [&](const QString &, const QStringList &arguments) -> QString {
            if (arguments.contains(QStringLiteral("-l")))
                return list;
            return arguments.last().contains(u"DP-1") ? right : left;
        };
        const DesktopPicture xfce(nullptr, DesktopPicture::Desktop::Xfce, run);
        QCOMPARE(xfce.path(screen("DP-1"), 1), right);
        QCOMPARE(xfce.path(screen("HDMI-1"), 0), left);
        QCOMPARE(xfce.path(screen("VGA-9"), 0), right); // unknown monitor: the first listed, sorted
        QVERIFY(DesktopPicture::xfceProperty({QStringLiteral("/backdrop/single-workspace-mode")}, "DP-1").isEmpty());
    }

    void plasmaPerScreen()
    {
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
