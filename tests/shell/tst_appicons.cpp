#include "app/shell/AppIcons.h"

#include <QImage>
#include <QSet>
#include <QTest>

// The test environment has no icon theme with these names, so the built-in copies answer.
class TestAppIcons : public QObject {
    Q_OBJECT
private:
    static QImage render(const QIcon &icon)
    {
        return icon.pixmap(64, 64).toImage().convertToFormat(QImage::Format_ARGB32);
    }

    static QSet<QRgb> opaqueColours(const QImage &image)
    {
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) == 255)
                    colours.insert(image.pixel(x, y));
        return colours;
    }

private Q_SLOTS:
    // The application's is a colourful tile with rounded corners, the tray's one grey.
    void iconsLookTheirPart()
    {
        const QImage tile = render(AppIcons::application()), tray = render(AppIcons::tray());
        QCOMPARE(tile.size(), QSize(64, 64));
        QCOMPARE(tray.size(), QSize(64, 64));
        QCOMPARE(qAlpha(tile.pixel(0, 0)), 0);
        QVERIFY(opaqueColours(tile).size() > 50);
        QCOMPARE(opaqueColours(tray), QSet<QRgb>({qRgb(0xbe, 0xbe, 0xbe)}));
    }
};

QTEST_MAIN(TestAppIcons)
#include "tst_appicons.moc"
