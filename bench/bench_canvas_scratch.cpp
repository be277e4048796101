#include "app/canvas/CollageView.h"
#include "app/canvas/PrintItem.h"
#include "app/canvas/PinItem.h"
#include "app/canvas/CaptionItem.h"
#include "app/canvas/PrintPhotoItem.h"
#include "platform/fake/FakePlatform.h"
#include "core/PhotoFrame.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QPainter>
#include <cstdio>
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Platform::install(std::make_unique<FakePlatform>());
    CollageView view; view.resize(2560,1440); view.show();
    CollageModel model;
    for (int i = 0; i < 30; ++i)
        model.add(PhotoItem(QUuid::createUuid(), QString("photo-%1.jpg").arg(i,2,10,QLatin1Char('0')), QPointF(200 + (i%8)*300, 1200 - (i/8)*300), QSizeF(360,270), argc > 1 ? 0.1 : 0.0, PhotoItem::fullCrop(), 0, QString("May 2024")));
    view.setModel(model);
    view.rebuild();
    QImage target(2560, 1440, QImage::Format_ARGB32_Premultiplied);
    auto run = [&](const char *what) {
        double best = 1e9;
        for (int i = 0; i < 5; ++i) {
            target.fill(Qt::transparent);
            QElapsedTimer t; t.start();
            QPainter p(&target); p.setRenderHints(view.renderHints());
            view.scene()->render(&p, QRectF(), view.sceneRect());
            p.end();
            best = std::min(best, t.nsecsElapsed()/1e6);
        }
        std::printf("%-30s %.1f ms\n", what, best);
    };
    run("all");
    for (auto *f : view.layersByID()) f->pin()->hide();
    run("no pins");
    for (auto *f : view.layersByID()) f->caption()->hide();
    run("no pins, captions");
    for (auto *f : view.layersByID()) f->photo()->hide();
    run("cards only");
    for (auto *f : view.layersByID()) f->hide();
    run("nothing");
}
