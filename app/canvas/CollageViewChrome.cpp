// Selection chrome, hit testing, hover and cursors of CollageView.
#include "app/canvas/CollageView.h"

#include "app/canvas/Cursors.h"
#include "app/canvas/EmptyHintItem.h"
#include "app/canvas/HandleItem.h"
#include "app/canvas/OutlineItem.h"
#include "app/canvas/TabularLabel.h"
#include "platform/Platform.h"
#include "platform/accessibility/AccessibilitySettings.h"
#include "platform/appearance/Appearance.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGraphicsPathItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QLabel>
#include <QMouseEvent>
#include <QPainterPath>
#include <QPen>
#include <QVBoxLayout>

namespace {

constexpr double chromeZ = 10000;
constexpr double guideZ = 9500;

QGraphicsPathItem *makeLine(QGraphicsItem *parent, double z)
{
    auto *line = new QGraphicsPathItem(parent);
    line->setBrush(Qt::NoBrush);
    line->setZValue(z);
    return line;
}

QWidget *makeHud(QWidget *parent, QLabel **text)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("hudView"));
    panel->setStyleSheet(QStringLiteral("#hudView { background-color: rgba(28, 28, 30, 215); border-radius: 8px; }"));
    auto *label = new TabularLabel(panel);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(12);
    font.setWeight(QFont::DemiBold);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label, 0, Qt::AlignCenter);
    panel->hide();
    *text = label;
    return panel;
}

} // namespace

void CollageView::setupChrome()
{
    auto *layer = new QGraphicsRectItem;
    layer->setFlag(QGraphicsItem::ItemHasNoContents);
    layer->setPen(Qt::NoPen);
    scene()->addItem(layer);
    m_contentLayer = layer;

    m_chromeOutline = new OutlineItem(layer);
    m_rotateLine = makeLine(layer, chromeZ);
    m_rotateHandle = new HandleItem(handleSize, layer);
    m_guideV = makeLine(layer, guideZ);
    m_guideH = makeLine(layer, guideZ);
    m_guideV->hide();
    m_guideH->hide();
    for (HandleItem *&handle : m_cornerHandles)
        handle = new HandleItem(handleSize, layer);
    m_hudView = makeHud(this, &m_hudText);

    // The hint belongs to the view itself, not to the collage's layer.
    m_emptyHint = new EmptyHintItem;
    m_emptyHint->hide();
    scene()->addItem(m_emptyHint);

    Platform &platform = Platform::instance();
    connect(&platform.appearance(), &Appearance::changed, this, &CollageView::applyChromeColors);
    connect(&platform.accessibility(), &AccessibilitySettings::changed, this, &CollageView::applyChromeColors);
    applyChromeColors();
    hideChrome();
}

void CollageView::applyChromeColors()
{
    if (!m_chromeOutline)
        return;
    const Platform &platform = Platform::instance();
    m_chromeStyle = ChromeStyle::make(platform.appearance().accentColor(), platform.accessibility().increaseContrast());
    const QColor &accent = m_chromeStyle.accent;
    m_chromeOutline->setPen(QPen(accent, m_chromeStyle.outlineWidth));
    m_rotateLine->setPen(QPen(accent, m_chromeStyle.rotateLineWidth));
    m_rotateHandle->setBorder(accent, m_chromeStyle.handleBorderWidth);
    for (HandleItem *handle : m_cornerHandles)
        handle->setBorder(accent, m_chromeStyle.handleBorderWidth);
    m_guideV->setPen(QPen(accent, m_chromeStyle.guideWidth));
    m_guideH->setPen(QPen(accent, m_chromeStyle.guideWidth));
}

void CollageView::updateChrome()
{
    const bool hoverOnly = !m_selectedID;
    const std::optional<QUuid> target = m_selectedID ? m_selectedID : m_hoveredID;
    const PhotoItem *item = target ? m_model.find(*target) : nullptr;
    if (!item) {
        hideChrome();
        return;
    }
    const auto corners = cornerWorld(*item);
    // Relative to the print's centre: a move then only shifts the outline item.
    QPainterPath outline(corners[0] - item->center);
    for (size_t i = 1; i < corners.size(); ++i)
        outline.lineTo(corners[i] - item->center);
    outline.closeSubpath();
    m_chromeOutline->setPos(item->center);
    m_chromeOutline->setPath(outline);
    m_chromeOutline->show();

    for (size_t i = 0; i < corners.size(); ++i) {
        m_cornerHandles[i]->setCenter(corners[i]);
        m_cornerHandles[i]->setVisible(!hoverOnly);
    }
    if (hoverOnly) {
        m_rotateHandle->hide();
        m_rotateLine->hide();
        return;
    }
    const QPointF handle = rotateHandleWorld(*item);
    m_rotateHandle->setCenter(handle);
    m_rotateHandle->show();
    QPainterPath stem(topMidWorld(*item));
    stem.lineTo(handle);
    m_rotateLine->setPath(stem);
    m_rotateLine->show();
}

void CollageView::hideChrome()
{
    m_chromeOutline->hide();
    m_rotateLine->hide();
    m_rotateHandle->hide();
    for (HandleItem *handle : m_cornerHandles)
        handle->hide();
}

void CollageView::clearSelection()
{
    m_selectedID.reset();
    m_hoveredID.reset();
    m_dragMode = ::DragMode::none();
    m_preEditModel.reset();
    m_lastRotStep.reset();
    hideChrome();
    m_guideV->hide();
    m_guideH->hide();
    m_lastVLine.reset();
    m_lastHLine.reset();
    m_hudView->hide();
}

std::optional<QUuid> CollageView::hitTestItem(QPointF point) const
{
    return PrintGeometry::hitTest(m_model, point);
}

::DragMode CollageView::handleAt(QPointF point, const PhotoItem &item) const
{
    return PrintGeometry::handleAt(point, item);
}

std::array<QPointF, 4> CollageView::cornerWorld(const PhotoItem &item)
{
    return PrintGeometry::cornerWorld(item);
}

QPointF CollageView::topMidWorld(const PhotoItem &item)
{
    return PrintGeometry::topMidWorld(item);
}

QPointF CollageView::rotateHandleWorld(const PhotoItem &item)
{
    return PrintGeometry::rotateHandleWorld(item);
}

void CollageView::updateCursor(QPointF point)
{
    const PhotoItem *selected = m_selectedID ? m_model.find(*m_selectedID) : nullptr;
    const ::DragMode handle = selected ? handleAt(point, *selected) : ::DragMode::none();
    if (handle.kind == ::DragMode::Kind::resize)
        viewport()->setCursor(Cursors::resize());
    else if (handle.kind == ::DragMode::Kind::rotate)
        viewport()->setCursor(Cursors::rotate());
    else
        viewport()->setCursor(hitTestItem(point) ? Cursors::openHand() : Cursors::arrow());
}

void CollageView::leaveEvent(QEvent *event)
{
    finishWheelGesture();
    QGraphicsView::leaveEvent(event);
    m_hoveredID.reset();
    viewport()->setCursor(Cursors::arrow());
    updateChrome();
}
