#include "platform/fake/FakeSymbols.h"
#include "platform/symbols/DesktopSymbols.h"
#include "platform/symbols/SymbolCatalog.h"
#include "platform/symbols/SymbolCursor.h"

#include <QtTest>

static qint64 coverage(const QImage &image)
{
    qint64 sum = 0;
    for (int i = 0; i < image.width() * image.height(); ++i)
        sum += qAlpha(image.pixel(i % image.width(), i / image.width()));
    return sum;
}

static bool isOpaque(QColor c, QColor wanted)
{
    return c.alpha() > 200 && std::abs(c.red() - wanted.red()) < 40 && std::abs(c.green() - wanted.green()) < 40
        && std::abs(c.blue() - wanted.blue()) < 40;
}

class TestSymbols : public QObject {
    Q_OBJECT

private slots:
    void everySymbolRenders_data()
    {
        QTest::addColumn<QString>("name");
        // Everything the rest of the program asks for by name, then the rest of the catalogue.
        QStringList names{"photo.badge.plus", "square.grid.2x2", "sparkles", "checkmark",
                          "arrow.up.left.and.arrow.down.right", "arrow.triangle.2.circlepath", "photo.on.rectangle",
                          "rectangle.stack", "gearshape", "crop", "square.and.arrow.up", "trash", "plus", "minus",
                          "photo", "folder", "photo.tv"};
        names.append(SymbolCatalog::names());
        names.removeDuplicates();
        for (const QString &name : std::as_const(names))
            QTest::newRow(qPrintable(name)) << name;
    }

    void everySymbolRenders()
    {
        QFETCH(QString, name);
        DesktopSymbols symbols;
        QVERIFY(symbols.hasSymbol(name));
        const QColor colour(200, 40, 60);
        const QImage image = symbols.symbolImage(name, 15, colour, SymbolWeight::Regular, 1.0);
        QCOMPARE(image.size(), QSize(20, 20));
        const qint64 ink = coverage(image);
        QVERIFY2(ink > 255 * 15, "the symbol draws something");
        QVERIFY2(ink < 255 * 20 * 20 * 3 / 4, "the symbol is line art, not a filled square");
        for (int i = 0; i < 20 * 20; ++i) {
            const QColor c = image.pixelColor(i % 20, i / 20);
            QVERIFY2(c.alpha() <= 128 || isOpaque(QColor(c.rgb()), colour), qPrintable(c.name()));
        }
        QVERIFY(coverage(symbols.symbolImage(name, 15, colour, SymbolWeight::Bold, 1.0)) > ink);
        const QImage sharp = symbols.symbolImage(name, 15, colour, SymbolWeight::Regular, 2.0);
        QCOMPARE(sharp.size(), QSize(40, 40));
        QCOMPARE(sharp.deviceIndependentSize(), QSizeF(20, 20));

        const QIcon icon = symbols.symbolIcon(name, QColor());
        QVERIFY(!icon.isNull() && !icon.pixmap(16).isNull());
    }

    void unknownNamesIconColoursAndCursors()
    {
        DesktopSymbols symbols;
        const QString name = QStringLiteral("no.such.symbol");
        QVERIFY(!symbols.hasSymbol(name) && symbols.symbolIcon(name, QColor()).isNull());
        QVERIFY(symbols.symbolImage(name, 15, Qt::black, SymbolWeight::Regular, 1.0).isNull());
        QVERIFY(symbols.symbolImage(QStringLiteral("checkmark"), 0, Qt::black, SymbolWeight::Regular, 1.0).isNull());
        QVERIFY(symbols.symbolImage(QStringLiteral("checkmark"), 1e6, Qt::black, SymbolWeight::Regular, 1.0).isNull());
        // Icons are tinted, faded when disabled, and drawn square in the middle of a wider pixmap.
        const QIcon icon = symbols.symbolIcon(QStringLiteral("plus"), QColor(Qt::red));
        QVERIFY(isOpaque(icon.pixmap(QSize(24, 24)).toImage().pixelColor(12, 12), Qt::red));
        QVERIFY(icon.pixmap(QSize(24, 24), QIcon::Disabled).toImage().pixelColor(12, 12).alpha() < 160);
        const QImage wide = icon.pixmap(QSize(48, 24)).toImage();
        QVERIFY(wide.size() == QSize(48, 24) && isOpaque(wide.pixelColor(24, 12), Qt::red));

        // The canvas checks the resize and rotate cursors it shows; here, the stock ones and the fallback.
        QCOMPARE(symbols.cursor(CursorShape::Arrow).shape(), Qt::ArrowCursor);
        QCOMPARE(symbols.cursor(CursorShape::OpenHand).shape(), Qt::OpenHandCursor);
        QCOMPARE(symbols.cursor(CursorShape::Crosshair).shape(), Qt::CrossCursor);
        const QCursor resize = symbols.cursor(CursorShape::Resize), rotate = symbols.cursor(CursorShape::Rotate);
        QCOMPARE(resize.shape(), Qt::BitmapCursor);
        QCOMPARE(resize.pixmap().size(), QSize(25, 25));
        QCOMPARE(resize.hotSpot(), QPoint(12, 12));
        QCOMPARE(rotate.shape(), Qt::BitmapCursor);
        // A missing symbol gives a crosshair.
        FakeSymbols missing;
        missing.setMissing(QStringLiteral("arrow.triangle.2.circlepath"));
        QCOMPARE(missing.cursor(CursorShape::Rotate).shape(), Qt::CrossCursor);
        QCOMPARE(missing.cursor(CursorShape::Resize).shape(), Qt::BitmapCursor);
        QCOMPARE(SymbolCursor::cursor(missing, QStringLiteral("nothing")).shape(), Qt::CrossCursor);
    }
};

QTEST_MAIN(TestSymbols)
#include "tst_symbols.moc"
