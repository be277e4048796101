// Direct manipulation: dragging, resizing and rotating prints with the pointer, touchpad
// pinch and rotate, and Ctrl+wheel as a stepwise pinch. Each gesture ends in one edit.
#include "app/canvas/CollageView.h"

#include "app/canvas/Cursors.h"
#include "app/canvas/Manipulation.h"
#include "app/canvas/OutlineItem.h"
#include "app/canvas/PrintItem.h"
#include "core/Log.h"
#include "core/PhotoFrame.h"
#include "platform/Platform.h"
#include "platform/haptics/Haptics.h"

#include <QGraphicsPathItem>
#include <QLabel>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainterPath>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace {

// One wheel notch scales by a tenth; the stepwise pinch ends after this much quiet.
constexpr double magnificationPerNotch = 0.1;
constexpr int wheelPauseMs = 350;

QString actionName(const DragMode &mode)
{
    switch (mode.kind) {
    case ::DragMode::Kind::resize: return QStringLiteral("Resize");
    case ::DragMode::Kind::rotate: return QStringLiteral("Rotate");
    default: return QStringLiteral("Move");
    }
}

bool copyModifier(Qt::KeyboardModifiers modifiers)
{
    // Alt is the natural copy-drag key, but many window managers take Alt+drag to move
    // windows, so Ctrl works too.
    return modifiers & (Qt::AltModifier | Qt::ControlModifier);
}

} // namespace

void CollageView::mousePressEvent(QMouseEvent *event)
{
    finishWheelGesture();
    if (event->button() != Qt::LeftButton) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_leftButtonDown = true;
    mouseDown(collagePoint(event->position()), event->modifiers());
    event->accept();
}

// Widgets get the second press of a double-click only as this event: it must grab, select
// and copy like the first. A press already delivered for it is not repeated.
void CollageView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_leftButtonDown) {
        event->accept();
        return;
    }
    mousePressEvent(event);
}

void CollageView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF point = collagePoint(event->position());
    if ((event->buttons() & Qt::LeftButton) && m_dragMode.kind != ::DragMode::Kind::none) {
        mouseDragged(point, event->modifiers());
        return;
    }
    updateCursor(point);
    const std::optional<QUuid> hit = hitTestItem(point);
    if (hit != m_hoveredID) {
        m_hoveredID = hit;
        updateChrome();
    }
}

void CollageView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QGraphicsView::mouseReleaseEvent(event);
        return;
    }
    m_leftButtonDown = false;
    mouseUp(collagePoint(event->position()));
}

void CollageView::mouseDown(QPointF p, Qt::KeyboardModifiers modifiers)
{
    if (m_selectedID) {
        if (const PhotoItem *selected = m_model.find(*m_selectedID)) {
            const ::DragMode handle = handleAt(p, *selected);
            if (handle.kind != ::DragMode::Kind::none) {
                m_dragMode = handle;
                m_baseSize = selected->size;
                m_baseRotation = selected->rotation;
                m_baseCenter = selected->center;
                if (handle.kind == ::DragMode::Kind::resize)
                    m_baseAnchor = cornerWorld(*selected)[(handle.corner + 2) % 4];
                m_preEditModel = m_model;
                return;
            }
        }
    }

    const std::optional<QUuid> hit = hitTestItem(p);
    if (hit && copyModifier(modifiers)) {
        m_preEditModel = m_model;
        PhotoItem copy = *m_model.find(*hit);
        copy.id = QUuid::createUuid();
        m_model.add(copy);
        applyModelToLayers(false);
        m_selectedID = copy.id;
        updateChrome();
        m_dragMode = ::DragMode::move();
        m_dragStart = p;
        m_dragOrigin = copy.center;
        viewport()->setCursor(Qt::ClosedHandCursor);
        return;
    }

    m_selectedID = hit;
    updateChrome();
    if (const PhotoItem *selected = hit ? m_model.find(*hit) : nullptr) {
        m_dragMode = ::DragMode::move();
        m_dragStart = p;
        m_dragOrigin = selected->center;
        m_preEditModel = m_model;
        viewport()->setCursor(Qt::ClosedHandCursor);
    } else {
        m_dragMode = ::DragMode::none();
    }
}

void CollageView::mouseDragged(QPointF p, Qt::KeyboardModifiers modifiers)
{
    if (!m_selectedID || m_dragMode.kind == ::DragMode::Kind::none)
        return;
    const QUuid id = *m_selectedID;
    const PhotoItem *item = m_model.find(id);

    switch (m_dragMode.kind) {
    case ::DragMode::Kind::move: {
        const QPointF proposed = m_dragOrigin + (p - m_dragStart);
        // An item that vanished meanwhile (an undo from another screen) measures as size zero.
        const QSizeF frame = PhotoFrame::frameSize(item ? item->size : QSizeF(0, 0));
        m_model.move(id, snapCenter(proposed, id, frame));
        break;
    }
    case ::DragMode::Kind::resize: {
        const Manipulation::Resize r = Manipulation::resizeAboutAnchor(m_baseSize, m_baseRotation, m_baseAnchor, p);
        m_model.update(id, [&](PhotoItem &i) {
            i.size = r.size;
            i.center = r.center;
        });
        syncLayer(id, false);
        showHUD(Manipulation::sizeText(r.size), id);
        return;
    }
    case ::DragMode::Kind::rotate: {
        const Manipulation::Rotation r =
            Manipulation::rotationToward(m_baseCenter, p, modifiers & Qt::ShiftModifier);
        if (r.step && m_lastRotStep != r.step)
            Platform::instance().haptics().perform();
        m_lastRotStep = r.step;
        m_model.update(id, [&](PhotoItem &i) { i.rotation = r.angle; });
        syncLayer(id, false);
        showHUD(Manipulation::angleText(r.angle), id);
        return;
    }
    case ::DragMode::Kind::none:
        return;
    }
    syncLayer(id, false);
}

void CollageView::mouseUp(QPointF p)
{
    const bool changed = m_dragMode.kind != ::DragMode::Kind::none && m_preEditModel && *m_preEditModel != m_model;
    const QString name = actionName(m_dragMode);
    if (changed)
        emitEdit(m_model, name);
    if (changed && m_selectedID) {
        // While moving, the print and its outline were copied onto whole pixels; painted
        // again in place they are drawn at their exact position.
        if (PrintItem *print = m_layersByID.value(*m_selectedID))
            print->update();
        m_chromeOutline->update();
    }
    endInteraction();
    viewport()->setCursor(hitTestItem(p) ? Cursors::openHand() : Cursors::arrow());
}

void CollageView::endInteraction()
{
    m_preEditModel.reset();
    m_dragMode = ::DragMode::none();
    m_lastRotStep.reset();
    m_guideV->hide();
    m_guideH->hide();
    m_lastVLine.reset();
    m_lastHLine.reset();
    m_hudView->hide();
}

void CollageView::emitEdit(const CollageModel &model, const QString &actionName)
{
    if (onEdit)
        onEdit(CollageModel(model), actionName);
}

QPointF CollageView::snapCenter(QPointF proposed, const QUuid &itemID, QSizeF frame)
{
    const QSizeF size = viewport()->size();
    const QRectF canvas(m_screenOrigin, size);
    const Manipulation::Snap snap = Manipulation::snapCenter(proposed, frame, m_model.items(), itemID, canvas);

    // The guides live on the content layer, so their paths are in collage coordinates.
    if (snap.vLine) {
        QPainterPath path(QPointF(*snap.vLine, canvas.top()));
        path.lineTo(*snap.vLine, canvas.top() + canvas.height());
        m_guideV->setPath(path);
    }
    m_guideV->setVisible(snap.vLine.has_value());
    if (snap.hLine) {
        QPainterPath path(QPointF(canvas.left(), *snap.hLine));
        path.lineTo(canvas.left() + canvas.width(), *snap.hLine);
        m_guideH->setPath(path);
    }
    m_guideH->setVisible(snap.hLine.has_value());

    const bool newV = snap.vLine && m_lastVLine != snap.vLine;
    const bool newH = snap.hLine && m_lastHLine != snap.hLine;
    if (newV || newH)
        Platform::instance().haptics().perform();
    m_lastVLine = snap.vLine;
    m_lastHLine = snap.hLine;
    return snap.center;
}

void CollageView::showHUD(const QString &text, const QUuid &id)
{
    const PhotoItem *item = m_model.find(id);
    if (!item)
        return;
    m_hudText->setText(text);
    m_hudText->adjustSize();
    const QSize label = m_hudText->size();
    const QSize panel(label.width() + 22, label.height() + 10);
    m_hudView->resize(panel);

    // Centred 28 points above the top edge of the unrotated frame, whatever the rotation.
    const double frameHeight = PhotoFrame::frameSize(item->size).height();
    const QPointF centreUp(item->center.x(), item->center.y() + frameHeight / 2 + 28);
    const QPointF centre = coords().toScene(centreUp);
    m_hudView->move(qRound(centre.x() - panel.width() / 2.0), qRound(centre.y() - panel.height() / 2.0));
    m_hudView->show();
    m_hudView->raise();
}

bool CollageView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::NativeGesture)
        return QGraphicsView::viewportEvent(event);
    const auto *gesture = static_cast<QNativeGestureEvent *>(event);
    switch (gesture->gestureType()) {
    case Qt::BeginNativeGesture:
        finishWheelGesture();
        beginGesture();
        break;
    case Qt::ZoomNativeGesture:
        magnifyGesture(m_gestureMagnification + gesture->value());
        break;
    case Qt::RotateNativeGesture:
        // Degrees, clockwise positive on X11; the collage turns counter-clockwise positive,
        // and the print must turn with the fingers.
        rotateGesture(m_gestureRotation - gesture->value() * M_PI / 180);
        break;
    case Qt::EndNativeGesture:
        endGesture();
        break;
    default:
        return QGraphicsView::viewportEvent(event);
    }
    event->accept();
    return true;
}

void CollageView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QGraphicsView::wheelEvent(event);
        return;
    }
    event->accept();
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    if (!m_gestureActive)
        beginGesture();
    if (!m_gestureActive)
        return;
    magnifyGesture(m_gestureMagnification + notches * magnificationPerNotch);
    if (!m_wheelPause) {
        m_wheelPause = new QTimer(this);
        m_wheelPause->setSingleShot(true);
        m_wheelPause->setInterval(wheelPauseMs);
        connect(m_wheelPause, &QTimer::timeout, this, &CollageView::endGesture);
    }
    m_wheelPause->start();
}

void CollageView::beginGesture()
{
    m_gestureActive = false;
    const PhotoItem *item = m_selectedID ? m_model.find(*m_selectedID) : nullptr;
    if (!item)
        return;
    m_gestureBaseSize = item->size;
    m_gestureBaseRotation = item->rotation;
    m_gestureMagnification = 0;
    m_gestureRotation = 0;
    m_gestureScaled = false;
    m_preEditModel = m_model;
    m_gestureActive = true;
}

void CollageView::magnifyGesture(double magnification)
{
    if (!m_gestureActive || !m_selectedID || !m_model.find(*m_selectedID))
        return;
    m_gestureMagnification = magnification;
    m_gestureScaled = true;
    const QSizeF size = Manipulation::pinchSize(m_gestureBaseSize, magnification);
    m_model.update(*m_selectedID, [&](PhotoItem &i) { i.size = size; });
    syncLayer(*m_selectedID, false);
    showHUD(Manipulation::sizeText(size), *m_selectedID);
}

void CollageView::rotateGesture(double radians)
{
    if (!m_gestureActive || !m_selectedID || !m_model.find(*m_selectedID))
        return;
    m_gestureRotation = radians;
    const double angle = m_gestureBaseRotation + radians;
    m_model.update(*m_selectedID, [&](PhotoItem &i) { i.rotation = angle; });
    syncLayer(*m_selectedID, false);
    showHUD(Manipulation::angleText(angle), *m_selectedID);
}

void CollageView::finishWheelGesture()
{
    // Anything else that starts while the wheel pinch waits for its pause would take over its
    // starting model, and the resize would never be reported.
    if (m_wheelPause && m_wheelPause->isActive())
        endGesture();
}

void CollageView::endGesture()
{
    if (m_wheelPause)
        m_wheelPause->stop();
    if (!m_gestureActive)
        return;
    m_gestureActive = false;
    // Read before the edit goes out: the controller may hand back a new model at once.
    const PhotoItem *item = m_selectedID ? m_model.find(*m_selectedID) : nullptr;
    const std::optional<PhotoItem> result = item ? std::optional<PhotoItem>(*item) : std::nullopt;
    const bool changed = m_preEditModel && *m_preEditModel != m_model;
    m_preEditModel.reset();
    m_hudView->hide();
    if (changed)
        emitEdit(m_model, m_gestureScaled ? QStringLiteral("Resize") : QStringLiteral("Rotate"));
    if (!result)
        return;
    if (m_gestureScaled) {
        const QString size = Manipulation::sizeText(result->size).replace(QStringLiteral(" × "), QStringLiteral("x"));
        Log::edit().debug(QStringLiteral("scaled to %1").arg(size));
    } else {
        Log::edit().debug(QStringLiteral("rotated to %1°").arg(Manipulation::wholeDegrees(result->rotation)));
    }
}
