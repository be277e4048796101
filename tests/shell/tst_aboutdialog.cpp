#include "app/shell/AboutDialog.h"
#include "app/shell/AppIcons.h"
#include "app/shell/BuildInfo.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

class TestAboutDialog : public QObject {
    Q_OBJECT
private:
    static QString text(const AboutDialog &dialog, const char *name)
    {
        const auto *label = dialog.findChild<QLabel *>(QLatin1String(name));
        return label ? label->text() : QString();
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
    void showsNameVersionPurposeLicenceAndIconAndCloses()
    {
        AboutDialog dialog;
        QCOMPARE(text(dialog, "name"), QStringLiteral("Veloran"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(QLatin1String(BuildInfo::version)).hasMatch());
        QCOMPARE(text(dialog, "version"), QStringLiteral("Version %1").arg(QLatin1String(BuildInfo::version)));
        QVERIFY(!text(dialog, "description").isEmpty());
        QVERIFY(text(dialog, "licence").contains(QLatin1String("MIT")));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("icon"))->pixmap().size(), QSize(96, 96));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close)->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // The application's is a colourful tile with rounded corners, the tray's one grey. The test
    // environment has no icon theme with these names, so the built-in copies answer.
    void iconsLookTheirPart()
    {
        const QImage tile = AppIcons::application().pixmap(64, 64).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage tray = AppIcons::tray().pixmap(64, 64).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(tile.size(), QSize(64, 64));
        QCOMPARE(tray.size(), QSize(64, 64));
        QCOMPARE(qAlpha(tile.pixel(0, 0)), 0);
        QVERIFY(opaqueColours(tile).size() > 50);
        QCOMPARE(opaqueColours(tray), QSet<QRgb>({qRgb(0xbe, 0xbe, 0xbe)}));
    }
};

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
