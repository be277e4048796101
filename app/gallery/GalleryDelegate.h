#pragma once

#include <QStyledItemDelegate>

// One photo in the gallery grid: its thumbnail standing on the bottom of a square box, or a
// quiet placeholder while it loads, and the file name shortened in the middle below it.
// Every cell is the same size and measuring one reads nothing from the model, so laying
// out thousands of rows never asks for a thumbnail.
class GalleryDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int thumbnailBox = 128; // logical pixels, the normal thumbnail's size

    using QStyledItemDelegate::QStyledItemDelegate;

    static QSize cellSize(const QFontMetrics &metrics);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
