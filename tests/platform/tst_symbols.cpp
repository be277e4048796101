#include "platform/fake/FakeSymbols.h"
#include "platform/symbols/DesktopSymbols.h"
#include "platform/symbols/SymbolCatalog.h"
#include "platform/symbols/SymbolCursor.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QtTest>

namespace {

qint64 coverage(const QImage &image)
{
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            sum += qAlpha(image.pixel(x, y));
    }
    return sum;
}

bool isOpaque(QColor c, QColor wanted)
{
    return c.alpha() > 200 && std::abs(c.red() - wanted.red()) < 40 && std::abs(c.green() - wanted.green()) < 40
        && std::abs(c.blue() - wanted.blue()) < 40;
}

} // namespace

class TestSymbols : public QObject {
    Q_OBJECT

private slots:
    void everySymbolRenders_data()
    {
        QTest::addColumn<QString>("name");
        // Everything the rest of the program asks for by name.
        const QStringList used{"photo.badge.plus", "square.grid.2x2", "sparkles", "checkmark",
                               "arrow.up.left.and.arrow.down.right", "arrow.triangle.2.circlepath",
                               "photo.on.rectangle", "rectangle.stack", "gearshape", "crop", "square.and.arrow.up",
                               "trash", "plus", "minus", "photo", "folder", "photo.tv"};
        for (const QString &name : used)
            QTest::newRow(qPrintable(name)) << name;
        for (const QString &name : SymbolCatalog::names()) {
            if (!used.contains(name))
                QTest::newRow(qPrintable(name)) << name;
        }
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
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() > 128)
                    QVERIFY2(isOpaque(QColor(c.red(), c.green(), c.blue()), colour), qPrintable(c.name()));
            }
        }
        QVERIFY(coverage(symbols.symbolImage(name, 15, colour, SymbolWeight::Bold, 1.0)) > ink);
        const QImage sharp = symbols.symbolImage(name, 15, colour, SymbolWeight::Regular, 2.0);
        QCOMPARE(sharp.size(), QSize(40, 40));
        QCOMPARE(sharp.deviceIndependentSize(), QSizeF(20, 20));

        const QIcon icon = symbols.symbolIcon(name, QColor());
        QVERIFY(!icon.isNull());
        QVERIFY(!icon.pixmap(16).isNull());
    }

    void unknownNames()
    {
        DesktopSymbols symbols;
        const QString name = QStringLiteral("no.such.symbol");
        QVERIFY(!symbols.hasSymbol(name));
        QVERIFY(symbols.symbolImage(name, 15, Qt::black, SymbolWeight::Regular, 1.0).isNull());
        QVERIFY(symbols.symbolIcon(name, QColor()).isNull());
        QVERIFY(symbols.symbolImage(QStringLiteral("checkmark"), 0, Qt::black, SymbolWeight::Regular, 1.0).isNull());
        QVERIFY(symbols.symbolImage(QStringLiteral("checkmark"), 1e6, Qt::black, SymbolWeight::Regular, 1.0).isNull());
    }

    void iconColours()
    {
        DesktopSymbols symbols;
        const QIcon icon = symbols.symbolIcon(QStringLiteral("plus"), QColor(Qt::red));
        const QImage normal = icon.pixmap(QSize(24, 24)).toImage();
        QCOMPARE(normal.size(), QSize(24, 24));
        QVERIFY(isOpaque(normal.pixelColor(12, 12), Qt::red));
        const QImage disabled = icon.pixmap(QSize(24, 24), QIcon::Disabled).toImage();
        QVERIFY(disabled.pixelColor(12, 12).alpha() < 160);
        const QImage wide = icon.pixmap(QSize(48, 24)).toImage();
        QCOMPARE(wide.size(), QSize(48, 24));
        QVERIFY(isOpaque(wide.pixelColor(24, 12), Qt::red)); // drawn square, centred
    }

    void cursorImage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("resize") << QStringLiteral("arrow.up.left.and.arrow.down.right");
        QTest::newRow("rotate") << QStringLiteral("arrow.triangle.2.circlepath");
    }

    void cursorImage()
    {
        QFETCH(QString, name);
        DesktopSymbols symbols;
        const QImage glyph = symbols.symbolImage(name, 15, Qt::black, SymbolWeight::Bold, 1.0);
        const QImage cursor = SymbolCursor::image(symbols, name);
        QCOMPARE(cursor.size(), glyph.size() + QSize(5, 5));
        QCOMPARE(SymbolCursor::hotSpot(cursor), QPointF(cursor.width() / 2.0, cursor.height() / 2.0));

        // A black glyph in a white rim that reaches further out on every side.
        int black = 0;
        int white = 0;
        QRect ink;
        QRect dark;
        for (int y = 0; y < cursor.height(); ++y) {
            for (int x = 0; x < cursor.width(); ++x) {
                const QColor c = cursor.pixelColor(x, y);
                black += isOpaque(c, Qt::black);
                white += isOpaque(c, Qt::white);
                if (c.alpha() > 128)
                    ink |= QRect(x, y, 1, 1);
                if (c.alpha() > 128 && c.lightness() < 64)
                    dark |= QRect(x, y, 1, 1);
            }
        }
        QVERIFY(black > 20);
        QVERIFY(white > 20);
        QVERIFY(!dark.isEmpty());
        QVERIFY(ink.left() < dark.left() && ink.top() < dark.top());
        QVERIFY(ink.right() > dark.right() && ink.bottom() > dark.bottom());
    }

    void cursors()
    {
        DesktopSymbols symbols;
        QCOMPARE(symbols.cursor(CursorShape::Arrow).shape(), Qt::ArrowCursor);
        QCOMPARE(symbols.cursor(CursorShape::OpenHand).shape(), Qt::OpenHandCursor);
        QCOMPARE(symbols.cursor(CursorShape::Crosshair).shape(), Qt::CrossCursor);
        const QCursor resize = symbols.cursor(CursorShape::Resize);
        QCOMPARE(resize.shape(), Qt::BitmapCursor);
        QCOMPARE(resize.pixmap().size(), QSize(25, 25));
        QCOMPARE(resize.hotSpot(), QPoint(12, 12));
        // Its centre is glyph; at the arrow tip's corner, rim outside and glyph inside.
        const QImage image = SymbolCursor::image(symbols, QStringLiteral("arrow.up.left.and.arrow.down.right"));
        QCOMPARE(image.size(), QSize(25, 25));
        QVERIFY(isOpaque(image.pixelColor(12, 12), Qt::black));
        QVERIFY(isOpaque(image.pixelColor(5, 5), Qt::white));
        QVERIFY(isOpaque(image.pixelColor(7, 7), Qt::black));
        QCOMPARE(symbols.cursor(CursorShape::Rotate).shape(), Qt::BitmapCursor);
    }

    void missingSymbolGivesCrosshair()
    {
        FakeSymbols symbols;
        symbols.setMissing(QStringLiteral("arrow.triangle.2.circlepath"));
        QCOMPARE(symbols.cursor(CursorShape::Rotate).shape(), Qt::CrossCursor);
        QCOMPARE(symbols.cursor(CursorShape::Resize).shape(), Qt::BitmapCursor);
        QVERIFY(symbols.symbolIcon(QStringLiteral("arrow.triangle.2.circlepath"), QColor()).isNull());
        QCOMPARE(SymbolCursor::cursor(symbols, QStringLiteral("nothing")).shape(), Qt::CrossCursor);
    }
};

QTEST_MAIN(TestSymbols)
#include "tst_symbols.moc"
