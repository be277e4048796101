#include "app/crop/CropEditorView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

CropEditorView::CropEditorView(QSize imagePixels, const QRectF &normalisedCrop, const QImage &standIn, QWidget *parent)
    : QWidget(parent), m_imagePixels(imagePixels), m_standIn(standIn),
      m_cancel(new QPushButton(tr("Cancel"), this)), m_commit(new QPushButton(tr("Crop"), this))
{
    setObjectName(QStringLiteral("crop-editor"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setCursor(Qt::ArrowCursor);
    m_commit->setDefault(true);
    for (QPushButton *button : {m_cancel, m_commit}) {
        button->setFocusPolicy(Qt::NoFocus); // the keys stay with the editor
        button->setCursor(Qt::ArrowCursor);
    }
    connect(m_cancel, &QPushButton::clicked, this, &CropEditorView::cancel);
    connect(m_commit, &QPushButton::clicked, this, &CropEditorView::commit);
    if (parent)
        setGeometry(parent->rect());
    m_imageRect = CropGeometry::imageRect(size(), m_imagePixels, m_bottomInset);
    m_crop = CropGeometry::viewCrop(normalisedCrop, m_imageRect);
    relayout();
}

void CropEditorView::setImage(const QImage &image)
{
    m_image = image;
    m_standIn = QImage();
    rescale();
    update();
}

void CropEditorView::setBottomInset(double inset)
{
    m_bottomInset = inset;
    relayout();
}

void CropEditorView::resizeEvent(QResizeEvent *)
{
    relayout();
}

void CropEditorView::relayout()
{
    const int y = height() - int(m_bottomInset) - 22 - 32;
    const int cancelWidth = std::max(m_cancel->sizeHint().width(), 90);
    const int commitWidth = std::max(m_commit->sizeHint().width(), 90);
    const int mid = width() / 2;
    m_cancel->setGeometry(mid - (cancelWidth + 6), y, cancelWidth, 32);
    m_commit->setGeometry(mid + 6, y, commitWidth, 32);

    // The crop keeps its place on the image when the window changes size.
    const QRectF old = m_imageRect;
    m_imageRect = CropGeometry::imageRect(size(), m_imagePixels, m_bottomInset);
    if (old.width() > 0 && old.height() > 0 && old != m_imageRect)
        m_crop = CropGeometry::viewCrop(CropGeometry::normalisedCrop(m_crop, old), m_imageRect);
    if (old != m_imageRect)
        rescale();
    update();
}

void CropEditorView::rescale()
{
    if (m_image.isNull() || m_imageRect.isEmpty()) {
        m_scaled = QImage();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    m_scaled = m_image.scaled((m_imageRect.size() * ratio).toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .convertToFormat(m_image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
    m_scaled.setDevicePixelRatio(ratio);
}

void CropEditorView::changeCrop(const QRectF &crop)
{
    if (crop == m_crop)
        return;
    // Only what changed: both crops with their handles and border.
    const double reach = CropGeometry::handleRadius + 2;
    const QRectF dirty = m_crop.united(crop).adjusted(-reach, -reach, reach, reach);
    m_crop = crop;
    update(dirty.toAlignedRect());
}

void CropEditorView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // An opaque image covers its rectangle: the veil goes only around it.
    const bool opaque = !m_scaled.isNull() && !m_scaled.hasAlphaChannel();
    painter.setClipRegion(opaque ? QRegion(rect()).subtracted(m_imageRect.toAlignedRect().adjusted(1, 1, -1, -1))
                                 : QRegion(rect()));
    painter.fillRect(rect(), QColor(0, 0, 0, qRound(0.88 * 255)));
    painter.setClipping(false);
    if (!m_scaled.isNull())
        painter.drawImage(m_imageRect.topLeft(), m_scaled);
    else if (!m_standIn.isNull())
        painter.drawImage(m_crop, m_standIn);

    const QColor dim(0, 0, 0, qRound(0.55 * 255));
    const QRectF &ir = m_imageRect, &c = m_crop;
    for (const QRectF &part : {QRectF(ir.left(), ir.top(), ir.width(), c.top() - ir.top()),
                               QRectF(ir.left(), c.bottom(), ir.width(), ir.bottom() - c.bottom()),
                               QRectF(ir.left(), c.top(), c.left() - ir.left(), c.height()),
                               QRectF(c.right(), c.top(), ir.right() - c.right(), c.height())}) {
        if (part.width() > 0 && part.height() > 0)
            painter.fillRect(part, dim);
    }

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 255, 255, qRound(0.45 * 255)), 0.5));
    for (int k = 1; k <= 2; ++k) {
        const double x = c.left() + c.width() * k / 3, y = c.top() + c.height() * k / 3;
        painter.drawLine(QPointF(x, c.top()), QPointF(x, c.bottom()));
        painter.drawLine(QPointF(c.left(), y), QPointF(c.right(), y));
    }
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(c);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    for (const QPointF &corner : CropGeometry::corners(c))
        painter.drawEllipse(corner, CropGeometry::handleRadius, CropGeometry::handleRadius);
}

void CropEditorView::mousePressEvent(QMouseEvent *event)
{
    m_dragStart = event->position();
    m_cropStart = m_crop;
    m_drag = event->button() == Qt::LeftButton ? CropGeometry::grab(m_crop, m_dragStart) : CropGeometry::Drag();
    event->accept();
}

void CropEditorView::mouseMoveEvent(QMouseEvent *event)
{
    changeCrop(CropGeometry::dragged(m_drag, m_cropStart, event->position() - m_dragStart, m_imageRect, m_crop));
    event->accept();
}

void CropEditorView::mouseReleaseEvent(QMouseEvent *event)
{
    m_drag = {};
    event->accept();
}

void CropEditorView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        commit();
        break;
    case Qt::Key_Escape:
        cancel();
        break;
    default:
        break; // swallowed: the canvas underneath must not react
    }
    event->accept();
}

void CropEditorView::commit()
{
    if (onCommit)
        onCommit(normalisedCrop());
}

void CropEditorView::cancel()
{
    if (onCancel)
        onCancel();
}
