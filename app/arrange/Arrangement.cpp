#include "app/arrange/Arrangement.h"

#include "app/import/Placement.h"
#include "core/PhotoFrame.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace Arrangement {

namespace {

QSizeF largestFrame(const QList<PhotoItem> &items)
{
    QSizeF largest(0, 0);
    for (const PhotoItem &item : items)
        largest = largest.expandedTo(PhotoFrame::frameSize(item.size));
    return largest;
}

} // namespace

CollageModel tidyUp(const CollageModel &model, QSizeF screen)
{
    const QList<PhotoItem> items = model.drawOrder();
    const int n = int(items.size());
    if (n == 0)
        return model;
    const int cols = int(std::ceil(std::sqrt(double(n))));
    const int rows = (n + cols - 1) / cols;
    const QSizeF largest = largestFrame(items);
    const double cellW = largest.width() + tidyGap, cellH = largest.height() + tidyGap;
    const double x0 = screen.width() / 2 - cols * cellW / 2 + cellW / 2;
    const double yTop = screen.height() / 2 + rows * cellH / 2 - cellH / 2;

    CollageModel result = model;
    for (int i = 0; i < n; ++i) {
        const QPointF centre(x0 + cellW * (i % cols), yTop - cellH * (i / cols));
        result.update(items[i].id, [&](PhotoItem &item) {
            item.center = centre;
            item.rotation = 0;
        });
    }
    return result;
}

std::optional<CollageModel> scatter(const CollageModel &model, QSizeF screen, QRandomGenerator &random)
{
    QList<PhotoItem> items = model.drawOrder();
    std::shuffle(items.begin(), items.end(), random);
    const int n = int(items.size());
    const QRectF area = QRectF(QPointF(0, 0), screen).adjusted(scatterMargin, scatterMargin, -scatterMargin, -scatterMargin);
    if (n == 0 || area.width() <= 0 || area.height() <= 0)
        return std::nullopt;

    const QSizeF largest = largestFrame(items);
    int cols = std::max(1, int(std::floor(area.width() / (largest.width() + scatterGap))));
    int rows = std::max(1, int(std::floor(area.height() / (largest.height() + scatterGap))));
    if (cols * rows < n) {
        // Too crowded at that spacing: more columns, then as many rows as it takes.
        cols = std::max(cols, int(std::ceil(std::sqrt(double(n) / (cols * rows)) * cols)));
        rows = std::max(1, (n + cols - 1) / cols);
    }
    const double cellW = area.width() / cols, cellH = area.height() / rows;
    QList<int> cells(cols * rows);
    std::iota(cells.begin(), cells.end(), 0);
    std::shuffle(cells.begin(), cells.end(), random);

    CollageModel result = model;
    for (int k = 0; k < n; ++k) {
        const QSizeF frame = PhotoFrame::frameSize(items[k].size);
        const int row = cells[k] / cols, col = cells[k] % cols;
        const double jxMax = (cellW - frame.width()) * 0.5 * scatterJitter;
        const double jx = jxMax > 0 ? Placement::uniform(random, -jxMax, jxMax) : 0;
        const double jyMax = (cellH - frame.height()) * 0.5 * scatterJitter;
        const double jy = jyMax > 0 ? Placement::uniform(random, -jyMax, jyMax) : 0;
        double cx = area.left() + cellW * (col + 0.5) + jx;
        double cy = area.bottom() - cellH * (row + 0.5) + jy; // area.bottom() is the largest y
        // The lower bound first: a frame larger than the screen ends against the far edge.
        cx = std::min(std::max(cx, frame.width() / 2), screen.width() - frame.width() / 2);
        cy = std::min(std::max(cy, frame.height() / 2), screen.height() - frame.height() / 2);
        const double tilt = Placement::uniform(random, -maxScatterTilt, maxScatterTilt);
        result.update(items[k].id, [&](PhotoItem &item) {
            item.center = QPointF(cx, cy);
            item.rotation = tilt;
        });
    }
    return result;
}

} // namespace Arrangement
