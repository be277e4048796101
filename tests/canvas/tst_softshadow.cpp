#include "app/canvas/SoftShadow.h"

#include <QPainter>
#include <QTest>

#include <cmath>

namespace {

qint64 mass(const QImage &alpha)
{
    qint64 sum = 0;
    for (int y = 0; y < alpha.height(); ++y)
        for (int x = 0; x < alpha.width(); ++x)
            sum += alpha.constScanLine(y)[x];
    return sum;
}

} // namespace

// The pre-blurred shadows prints and pins are drawn with.
class TestSoftShadow : public QObject {
    Q_OBJECT
private slots:
    void blurKeepsMassAndSymmetry()
    {
        QImage alpha(101, 101, QImage::Format_Alpha8);
        alpha.fill(0);
        // A wider patch keeps rounding from eating the mass.
        for (int y = 45; y <= 55; ++y)
            std::fill_n(alpha.scanLine(y) + 45, 11, uchar(255));
        QImage untouched = alpha;
        SoftShadow::blurAlpha(untouched, 0);
        QCOMPARE(untouched, alpha);
        const qint64 before = mass(alpha);
        SoftShadow::blurAlpha(alpha, 5);
        QVERIFY(std::abs(mass(alpha) - before) < before / 50);
        QVERIFY(alpha.constScanLine(50)[50] < 255);
        QCOMPARE(alpha.constScanLine(50)[40], alpha.constScanLine(50)[60]);
        QCOMPARE(alpha.constScanLine(40)[50], alpha.constScanLine(60)[50]);
        QCOMPARE(alpha.constScanLine(30)[50], alpha.constScanLine(50)[30]);
    }

    void blurOfAnEdgeFollowsTheGaussian()
    {
        // Left half solid: after a blur of sigma 5 the value one sigma outside is about 16%.
        QImage alpha(200, 20, QImage::Format_Alpha8);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 200; ++x)
                alpha.scanLine(y)[x] = x < 100 ? 255 : 0;
        SoftShadow::blurAlpha(alpha, 5);
        const uchar *row = alpha.constScanLine(10);
        QVERIFY(std::abs(row[100] + row[99] - 255) <= 12); // halfway across the edge
        QVERIFY(std::abs(row[105] - 0.159 * 255) <= 12);    // one sigma out
        QVERIFY(std::abs(row[94] - 0.841 * 255) <= 12);     // one sigma in
        QVERIFY(row[118] <= 3);                             // beyond three sigma
    }

    void shadowImageIsPaddedAndSolidInside()
    {
        const QImage shadow = SoftShadow::roundedRectShadow(QSizeF(100, 60), 6, 10, QColor(0, 0, 0, 84), 1);
        QCOMPARE(shadow.size(), QSize(130, 90)); // padded by 1.5 blur radii
        QCOMPARE(qAlpha(shadow.pixel(65, 45)), 84);
        QCOMPARE(qAlpha(shadow.pixel(0, 0)), 0);
        QVERIFY(qAlpha(shadow.pixel(15, 45)) > 30 && qAlpha(shadow.pixel(15, 45)) < 55); // on the edge: about half
        QCOMPARE(SoftShadow::roundedRectShadow(QSizeF(100, 60), 6, 10, Qt::black, 2).size(), QSize(260, 180));
    }

    void ninePatchMatchesTheWholeShadow_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<double>("radius");
        QTest::newRow("print") << QSizeF(215, 175.5) << 4.5;
        QTest::newRow("large radius") << QSizeF(400, 300) << 24.0;
        QTest::newRow("tiny print") << QSizeF(30, 37) << 3.0;
    }

    void ninePatchMatchesTheWholeShadow()
    {
        QFETCH(QSizeF, size);
        QFETCH(double, radius);
        const QColor color(0, 0, 0, 84);
        const double pad = SoftShadow::reach(10);
        const QSize canvas(int(size.width() + 2 * pad + 10), int(size.height() + 2 * pad + 10));
        const QRectF rect(QPointF(pad + 5, pad + 5), size);
        QImage whole(canvas, QImage::Format_ARGB32_Premultiplied);
        whole.fill(Qt::transparent);
        QPainter(&whole).drawImage(QPointF(5, 5), SoftShadow::roundedRectShadow(size, radius, 10, color, 1));
        QImage patched(canvas, QImage::Format_ARGB32_Premultiplied);
        patched.fill(Qt::transparent);
        {
            QPainter p(&patched);
            SoftShadow::paintRoundedRect(&p, rect, radius, 10, color);
        }
        // Outside the shape (where it is seen; the card covers the inside) the two agree.
        int worst = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) {
                if (!rect.adjusted(2, 2, -2, -2).contains(QPointF(x + 0.5, y + 0.5)))
                    worst = std::max(worst, std::abs(qAlpha(whole.pixel(x, y)) - qAlpha(patched.pixel(x, y))));
            }
        QVERIFY2(worst <= 4, qPrintable(QString::number(worst)));
    }
};

QTEST_MAIN(TestSoftShadow)
#include "tst_softshadow.moc"
