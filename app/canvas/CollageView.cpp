#include "app/canvas/CollageView.h"

#include "app/canvas/CaptionFont.h"
#include "app/canvas/CaptionItem.h"
#include "app/canvas/EmptyHintItem.h"
#include "app/canvas/PrintItem.h"
#include "app/canvas/PrintPhotoItem.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QPainter>
#include <QResizeEvent>

CollageView::CollageView(QWidget *parent) : QGraphicsView(parent), m_decoder(new PhotoDecoder(this))
{
    auto *canvas = new QGraphicsScene(this);
    // Items move every drag event; a spatial index would be rebuilt just as often.
    canvas->setItemIndexMethod(QGraphicsScene::NoIndex);
    setScene(canvas);

    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTransformationAnchor(QGraphicsView::NoAnchor);
    setResizeAnchor(QGraphicsView::NoAnchor);
    // The window is translucent: only the prints are painted.
    setBackgroundBrush(Qt::NoBrush);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    // The canvas reads pointer events itself; no item takes them.
    setInteractive(false);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    // Drags are delivered to the viewport, which was made before this call could reach it.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);

    connect(m_decoder, &PhotoDecoder::decoded, this, &CollageView::imageDecoded);

    setupChrome();
    updateSceneGeometry();
    warmUpPainting();
}

void CollageView::warmUpPainting()
{
    // Paint one print off screen now: the font database's first look-up, the caption's
    // glyphs and the shadow tiles are slow the first time, and the first frame of a
    // collage should not pay for them. The caches are shared, so once is enough.
    static bool warm = false;
    if (warm)
        return;
    warm = true;
    QFontMetricsF(CaptionFont::font()).height();
    PrintItem print{QUuid()};
    print.setPose(PrintGeometry::Pose{QPointF(0, 0), QSizeF(360, 270), 0.1});
    print.photo()->showPlaceholder();
    layoutCaption(print.caption(), QSizeF(360, 270));
    print.caption()->setText(QStringLiteral("0123456789 ·"));
    // All of it on the scratch image: clipped-away text would leave its glyphs uncached.
    const QRectF bounds = print.mapRectToScene(print.boundingRect());
    const double dpr = devicePixelRatioF();
    QImage scratch((bounds.size() * dpr).toSize() + QSize(2, 2), QImage::Format_ARGB32_Premultiplied);
    scratch.setDevicePixelRatio(dpr);
    scratch.fill(Qt::transparent);
    QPainter painter(&scratch);
    painter.setRenderHints(renderHints());
    painter.translate(-bounds.topLeft());
    painter.setTransform(print.sceneTransform(), true);
    print.paint(&painter, nullptr, nullptr);
}

CollageView::~CollageView() = default;

const CollageModel &CollageView::model() const
{
    return m_model;
}

void CollageView::setModel(const CollageModel &model)
{
    m_model = model;
}

const std::optional<QString> &CollageView::imageBaseDir() const
{
    return m_imageBaseDir;
}

void CollageView::setImageBaseDir(const std::optional<QString> &dir)
{
    m_imageBaseDir = dir;
}

bool CollageView::isEditing() const
{
    return m_isEditing;
}

void CollageView::setEditing(bool editing)
{
    m_isEditing = editing;
    // Prints move only while editing; at rest on the desktop their pixels would be dead weight.
    for (PrintItem *print : std::as_const(m_layersByID))
        print->setRasterCached(editing);
    updateEmptyHint();
}

QPointF CollageView::screenOrigin() const
{
    return m_screenOrigin;
}

void CollageView::setScreenOrigin(QPointF origin)
{
    m_screenOrigin = origin;
    updateSceneGeometry();
}

std::optional<QUuid> CollageView::selectedID() const
{
    return m_selectedID;
}

void CollageView::setSelectedID(const std::optional<QUuid> &id)
{
    m_selectedID = id;
}

std::optional<QUuid> CollageView::hoveredID() const
{
    return m_hoveredID;
}

void CollageView::setHoveredID(const std::optional<QUuid> &id)
{
    m_hoveredID = id;
}

PrintGeometry::CanvasCoords CollageView::coords() const
{
    return PrintGeometry::CanvasCoords{m_screenOrigin, double(viewport()->height())};
}

QPointF CollageView::collagePoint(QPointF viewPoint) const
{
    return coords().toCollage(viewPoint);
}

void CollageView::updateSceneGeometry()
{
    const QSize size = viewport()->size();
    scene()->setSceneRect(QRectF(QPointF(0, 0), QSizeF(size)));
    if (auto *layer = static_cast<QGraphicsRectItem *>(m_contentLayer)) {
        layer->setTransform(coords().contentTransform());
        layer->setRect(QRectF(m_screenOrigin, QSizeF(size)));
    }
}

void CollageView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    updateSceneGeometry();
    updateEmptyHint();
}

void CollageView::paintEvent(QPaintEvent *event)
{
    QElapsedTimer clock;
    clock.start();
    QGraphicsView::paintEvent(event);
    if (m_revealQueued || !m_reveal.isActive())
        return;
    // The next batch is shown once this frame is out, sized by what this one cost.
    m_revealQueued = true;
    const double ms = clock.nsecsElapsed() / 1e6;
    QMetaObject::invokeMethod(
        this,
        [this, ms] {
            m_revealQueued = false;
            showPrints(m_reveal.framePainted(ms));
        },
        Qt::QueuedConnection);
}

void CollageView::changeEvent(QEvent *event)
{
    QGraphicsView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        applyChromeColors();
}

void CollageView::updateEmptyHint()
{
    const QRectF bounds = viewport()->rect();
    // Centred either way up: the box is symmetric about the view's middle.
    m_emptyHint->setPos(bounds.center() - QPointF(EmptyHintItem::width / 2, EmptyHintItem::height / 2));
    m_emptyHint->setVisible(m_isEditing && m_model.drawOrder().isEmpty());
}

qint64 CollageView::decodedImageBytes() const
{
    qint64 bytes = 0;
    for (const PrintPhotoItem *photo : m_contentByID)
        bytes += photo->image().sizeInBytes();
    return bytes;
}
