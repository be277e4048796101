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
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(image.pixel(x, y)) == 255)
                    colours.insert(image.pixel(x, y));
            }
        }
        return colours;
    }

private Q_SLOTS:
    void theApplicationIconIsAColourfulTile()
    {
        const QImage image = render(AppIcons::application());
        QCOMPARE(image.size(), QSize(64, 64));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0); // rounded corners
        QVERIFY(opaqueColours(image).size() > 50);
    }

    void theTrayIconIsOneGrey()
    {
        const QImage image = render(AppIcons::tray());
        QCOMPARE(image.size(), QSize(64, 64));
        const QSet<QRgb> colours = opaqueColours(image);
        QVERIFY(colours.size() >= 1);
        for (QRgb colour : colours)
            QCOMPARE(colour, qRgb(0xbe, 0xbe, 0xbe));
    }
};

QTEST_MAIN(TestAppIcons)
#include "tst_appicons.moc"
