#pragma once

#include "app/crop/CropGeometry.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QPushButton;

// The full-screen crop editor over one editing window: the whole image dimmed outside the
// crop, a thirds grid, a border and four corner handles; corners are dragged to reshape the
// crop, the inside to move it. "Crop" (Return, Enter) and "Cancel" (Escape) end it. While it
// is open it takes every key and click, so the canvas underneath stays still.
class CropEditorView : public QWidget {
    Q_OBJECT
public:
    // imagePixels is the upright size of the whole image. Until setImage() brings it, the
    // stand-in (what the print shows: the cropped part) is drawn where the crop lies.
    CropEditorView(QSize imagePixels, const QRectF &normalisedCrop, const QImage &standIn, QWidget *parent);

    std::function<void(const QRectF &normalisedCrop)> onCommit;
    std::function<void()> onCancel;

    void setImage(const QImage &image);
    bool hasImage() const { return !m_image.isNull(); }
    // Space a panel takes at the screen's bottom edge: the button bar sits above it.
    void setBottomInset(double inset);

    QRectF imageRect() const { return m_imageRect; }
    QRectF crop() const { return m_crop; }
    QRectF normalisedCrop() const { return CropGeometry::normalisedCrop(m_crop, m_imageRect); }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *commitButton() const { return m_commit; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void relayout();
    // The image at its drawn size in device pixels, so a frame copies pixels instead of
    // scaling a screen-sized image again.
    void rescale();
    void changeCrop(const QRectF &crop);
    void commit();
    void cancel();

    QSize m_imagePixels;
    QImage m_image;
    QImage m_scaled;
    QImage m_standIn;
    QRectF m_imageRect;
    QRectF m_crop;
    double m_bottomInset = 0;
    CropGeometry::Drag m_drag;
    QPointF m_dragStart;
    QRectF m_cropStart;
    QPushButton *m_cancel;
    QPushButton *m_commit;
};
