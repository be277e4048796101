#include "canvas/support/CanvasFixture.h"

#include "app/canvas/CollageView.h"
#include "platform/fake/FakePlatform.h"

#include <QApplication>
#include <QImageWriter>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <cmath>

namespace CanvasFixture {

FakePlatform &installFakePlatform()
{
    auto platform = std::make_unique<FakePlatform>();
    FakePlatform &ref = *platform;
    Platform::install(std::move(platform));
    return ref;
}

QImage testImage(QSize size, QColor tint)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, tint.lighter(160));
    gradient.setColorAt(1, tint.darker(180));
    p.fillRect(image.rect(), gradient);
    p.fillRect(QRect(size.width() / 8, size.height() / 8, size.width() / 4, size.height() / 4), QColor(250, 200, 40));
    return image;
}

QString writeImage(const QTemporaryDir &dir, const QString &name, const QImage &image)
{
    QImageWriter writer(dir.filePath(name));
    writer.setQuality(90);
    if (!writer.write(image))
        qWarning("cannot write %s: %s", qPrintable(name), qPrintable(writer.errorString()));
    return name;
}

std::unique_ptr<CollageView> makeView(QSize size)
{
    auto view = std::make_unique<CollageView>();
    view->resize(size);
    view->show();
    return view;
}

void show(CollageView &view, const CollageModel &model)
{
    view.setModel(model);
    view.rebuild();
}

void selectPrint(CollageView &view, const std::optional<QUuid> &id, const std::optional<QUuid> &hovered)
{
    view.setSelectedID(id);
    view.setHoveredID(hovered);
    view.updateChrome();
}

void sendMouse(CollageView &view, QEvent::Type type, QPointF collage, Qt::KeyboardModifiers modifiers,
               Qt::MouseButtons buttons)
{
    const QPointF local = view.coords().toScene(collage);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, view.viewport()->mapToGlobal(local), button, buttons, modifiers);
    QApplication::sendEvent(view.viewport(), &event);
}

void recordEdits(CollageView &view, QList<Edit> &edits)
{
    view.onEdit = [&edits](const CollageModel &model, const QString &name) { edits.append({model, name}); };
}

bool waitForImages(const CollageView &view, int timeoutMs)
{
    return QTest::qWaitFor([&] { return view.pendingDecodes() == 0 && view.pendingReveals() == 0; }, timeoutMs);
}

bool near(QPointF a, QPointF b, double tolerance)
{
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance;
}

} // namespace CanvasFixture
