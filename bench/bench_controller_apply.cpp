// The controller's costs on the GUI thread and its saving behaviour, on two screens that both
// show a 100-print collage, in a library of 100 such collages (10,000 prints):
// (1) one canvas edit through applyEdit (undo step, both canvases updated in place, save
//     scheduled; target under 2 ms), and one undo and redo;
// (2) scheduling a save (the snapshot must be a cheap shared copy; target under 0.1 ms);
// (3) a burst of 60 edits 20 ms apart: how many writes, and when the one write lands;
// (4) the write itself on the save queue, and flushSave blocking at exit;
// (5) rebuilding everything after a screen change.
#include "app/canvas/CollageView.h"
#include "app/canvas/PhotoDecoder.h"
#include "app/controller/DesktopWindowController.h"
#include "app/controller/DisplayAssignments.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeScreenService.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QThreadPool>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int collageCount = 100;
constexpr int printsPerCollage = 100;
constexpr double applyTargetUs = 2000;
constexpr double scheduleTargetUs = 100;

struct Stats {
    double median;
    double p95;
    double max;
};

Stats summarize(std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[size_t(double(us.size()) * 0.95)], us.back()};
}

CollageModel makeModel(int collage, int count)
{
    CollageModel model;
    for (int i = 0; i < count; ++i) {
        PhotoItem item(QUuid::createUuid(), QStringLiteral("p%1.jpg").arg(i % 6),
                       QPointF(120 + (i % 10) * 170, 120 + (i / 10) * 110 + collage % 7), QSizeF(200, 150),
                       0.02 * (i % 5), PhotoItem::fullCrop(), i);
        item.caption = QStringLiteral("July 2023");
        model.add(item);
    }
    return model;
}

void writeLibrary(const QString &root, int collages)
{
    FolderLibraryStore store(root, std::nullopt, std::nullopt);
    QList<Collage> list;
    for (int c = 0; c < collages; ++c)
        list.append(Collage{QUuid::createUuid(), QStringLiteral("Collage %1").arg(c + 1, 3, 10, QLatin1Char('0')),
                            makeModel(c, printsPerCollage)});
    store.save(Library(list, list.first().id));
    // A handful of real photos for the first collage so the canvases decode something.
    const QString dir = store.collageDir(list.first().name);
    for (int i = 0; i < 6; ++i) {
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 60, 160, 200));
        image.save(QDir(dir).filePath(QStringLiteral("p%1.jpg").arg(i)), "JPEG", 85);
    }
}

CollageModel nudged(const CollageModel &model, int step)
{
    CollageModel copy = model;
    const QUuid id = copy.items()[step % copy.items().size()].id;
    copy.update(id, [step](PhotoItem &item) { item.center.rx() += (step % 2 ? 3 : -3); });
    return copy;
}

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void settle()
{
    PhotoDecoder::pool()->waitForDone();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

} // namespace

int main(int argc, char *argv[])
{
    Bench::prepareProcess();
    QApplication app(argc, argv);
    FakeScreenService *screens = &Bench::installFakePlatform();

    ScreenInfo left = FakeScreenService::makeScreen(QStringLiteral("LEFT"), QRect(0, 0, 2560, 1440));
    left.primary = true;
    ScreenInfo right = FakeScreenService::makeScreen(QStringLiteral("RIGHT"), QRect(2560, 0, 1920, 1080));
    screens->setScreens({left, right});

    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("library"));
    writeLibrary(root, collageCount);

    std::printf("controller: %d collages of %d prints, two screens showing the first\n", collageCount,
                printsPerCollage);

    auto controller = std::make_unique<DesktopWindowController>(FolderLibraryStore(root, std::nullopt, std::nullopt));
    QElapsedTimer timer;
    timer.start();
    controller->show();
    const double showMs = double(timer.nsecsElapsed()) / 1e6;
    DisplayAssignments::set(controller->library().collages().first().name, controller->screens()[1]);
    controller->reloadAllViews();
    settle();
    std::printf("show (load %d collages, build 2 windows, fill canvases): %.1f ms\n", collageCount, showMs);

    // (1) apply, undo, redo
    CollageView *view = controller->views()[0];
    std::vector<double> applyUs;
    std::vector<double> undoUs;
    std::vector<double> redoUs;
    CollageModel model = view->model();
    for (int i = 0; i < 200; ++i) {
        model = nudged(model, i);
        timer.restart();
        view->onEdit(model, QStringLiteral("Move"));
        applyUs.push_back(double(timer.nsecsElapsed()) / 1e3);
    }
    for (int i = 0; i < 100; ++i) {
        timer.restart();
        view->onUndo();
        undoUs.push_back(double(timer.nsecsElapsed()) / 1e3);
    }
    for (int i = 0; i < 100; ++i) {
        timer.restart();
        view->onRedo();
        redoUs.push_back(double(timer.nsecsElapsed()) / 1e3);
    }
    const Stats apply = summarize(applyUs);
    const Stats undo = summarize(undoUs);
    const Stats redo = summarize(redoUs);
    std::printf("applyEdit (edit on one canvas, both canvases updated): median %.0f us, p95 %.0f us, max %.0f us"
                " [target < %.0f us: %s]\n",
                apply.median, apply.p95, apply.max, applyTargetUs, apply.median < applyTargetUs ? "met" : "MISSED");
    std::printf("undo: median %.0f us, p95 %.0f us; redo: median %.0f us, p95 %.0f us\n", undo.median, undo.p95,
                redo.median, redo.p95);
    const bool same = controller->views()[1]->model() == view->model();
    std::printf("second screen follows every edit: %s\n", same ? "yes" : "NO");
    controller->flushSave();

    // (2) scheduling a save: a shared copy, whatever the library's size
    std::vector<double> scheduleUs;
    for (int i = 0; i < 500; ++i) {
        timer.restart();
        controller->scheduleSave();
        scheduleUs.push_back(double(timer.nsecsElapsed()) / 1e3);
    }
    const Stats schedule = summarize(scheduleUs);
    std::printf("scheduleSave (%d prints): median %.2f us, max %.1f us [target < %.0f us: %s]\n",
                collageCount * printsPerCollage, schedule.median, schedule.max, scheduleTargetUs,
                schedule.max < scheduleTargetUs ? "met" : "MISSED");
    controller->flushSave();

    // (3) a burst of edits
    const int writesBefore = controller->writesCompleted();
    QElapsedTimer sinceLast;
    for (int i = 0; i < 60; ++i) {
        model = nudged(view->model(), i);
        view->onEdit(model, QStringLiteral("Move"));
        sinceLast.start();
        waitMs(20);
    }
    const int writesDuringBurst = controller->writesCompleted() - writesBefore;
    while (controller->writesCompleted() == writesBefore + writesDuringBurst && sinceLast.elapsed() < 5000)
        waitMs(2);
    const double landedMs = double(sinceLast.nsecsElapsed()) / 1e6;
    waitMs(600);
    std::printf("burst of 60 edits 20 ms apart (1.2 s): %d write(s) during it, %d after; the write landed %.0f ms "
                "after the last edit (delay %d ms + writing)\n",
                writesDuringBurst, controller->writesCompleted() - writesBefore - writesDuringBurst, landedMs,
                DesktopWindowController::saveDelayMs);

    // (4) the write on the queue, and a flush at exit
    std::vector<double> writeMs;
    std::vector<double> submitUs;
    for (int i = 0; i < 3; ++i) {
        // Every collage changed, so every layout is rewritten.
        Library changed = controller->library();
        for (const Collage &collage : QList<Collage>(changed.collages())) {
            changed.setActiveID(collage.id);
            changed.updateActive(nudged(collage.model, i));
        }
        const int before = controller->writesCompleted();
        timer.restart();
        controller->performSave(changed);
        submitUs.push_back(double(timer.nsecsElapsed()) / 1e3);
        while (controller->writesCompleted() == before)
            QThread::usleep(100);
        writeMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    const Stats write = summarize(writeMs);
    std::printf("performSave, submitting on the GUI thread: median %.0f us\n", summarize(submitUs).median);
    std::printf("full write of %d collages on the save queue: median %.1f ms, max %.1f ms\n", collageCount,
                write.median, write.max);

    // Disk and memory agree again; then one edit, which rewrites one layout.
    controller->scheduleSave();
    controller->flushSave();
    view->onEdit(nudged(view->model(), 7), QStringLiteral("Move"));
    timer.restart();
    controller->flushSave();
    std::printf("flushSave with one edit pending (GUI thread blocked): %.1f ms\n", double(timer.nsecsElapsed()) / 1e6);
    timer.restart();
    controller->flushSave();
    std::printf("flushSave with nothing pending: %.3f ms\n", double(timer.nsecsElapsed()) / 1e6);

    // (5) a screen change
    std::vector<double> rebuildMs;
    for (int i = 0; i < 5; ++i) {
        timer.restart();
        controller->screensChanged();
        rebuildMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        settle();
    }
    const Stats rebuild = summarize(rebuildMs);
    std::printf("screensChanged (tear down, 2 windows, reload): median %.1f ms, max %.1f ms\n", rebuild.median,
                rebuild.max);

    controller.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    PhotoDecoder::pool()->waitForDone();
    Platform::install(nullptr);
    return 0;
}
