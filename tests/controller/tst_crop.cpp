#include "controller/support/ControllerFixture.h"

#include "app/canvas/CollageView.h"
#include "app/controller/CollageHistory.h"
#include "app/controller/ControlBar.h"
#include "app/controller/DesktopWindow.h"
#include "app/crop/CropEditorView.h"

#include <QPushButton>
#include <QTest>

// The crop editor over an editing window: opened on a print, it ends in one "Crop" step or
// in nothing at all.
class TestCrop : public QObject {
    Q_OBJECT
private:
    // "Trip" with p0.jpg (a real 400 × 300 image) and p1.jpg (missing), in editing mode.
    static DesktopWindowController &start(ControllerFixture &f)
    {
        f.writeLibrary({"Trip"}, {2});
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        if (!image.save(f.path("Trip/p0.jpg")))
            qFatal("cannot write the test photo");
        DesktopWindowController &c = f.controller();
        c.setEditing(true);
        return c;
    }
    static PhotoItem photo(DesktopWindowController &c, int index) { return c.library().collages()[0].model.drawOrder()[index]; }

private Q_SLOTS:
    void aCornerDragAndReturnCropInOneStep()
    {
        ControllerFixture f;
        DesktopWindowController &c = start(f);
        const PhotoItem before = photo(c, 0);
        c.views()[0]->onBeginCrop(before.id);
        CropEditorView *editor = c.cropEditor();
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(editor->parentWidget(), static_cast<QWidget *>(c.windows()[0]));
        QCOMPARE(editor->geometry(), c.windows()[0]->rect());
        QCOMPARE(editor->crop(), editor->imageRect());
        QVERIFY(!c.controlBars()[0]->isVisible()); // its own buttons take the bar's place
        QTRY_VERIFY(editor->hasImage());
        // Buttons side by side, 12 apart, centred.
        QCOMPARE(editor->commitButton()->x() - editor->cancelButton()->geometry().right() - 1, 12);

        // Drag the top-right corner halfway to the left, then a key the canvas would act on.
        const QPoint corner = editor->crop().topRight().toPoint();
        const int half = int(editor->crop().width() / 2);
        QTest::mousePress(editor, Qt::LeftButton, {}, corner);
        QTest::mouseMove(editor, corner - QPoint(half, 0));
        QTest::mouseRelease(editor, Qt::LeftButton, {}, corner - QPoint(half, 0));
        QTest::keyClick(editor, Qt::Key_Delete);
        QCOMPARE(c.library().collages()[0].model.items().size(), 2);
        QTest::keyClick(editor, Qt::Key_Return);

        QTRY_VERIFY(!c.cropEditor());
        QVERIFY(c.controlBars()[0]->isVisible());
        const PhotoItem after = photo(c, 0);
        QVERIFY(std::abs(after.cropRect.width() - 0.5) < 0.01);
        QCOMPARE(after.cropRect.height(), 1.0);
        // The crop's shape, the longer side kept.
        QVERIFY(std::abs(after.size.width() / after.size.height() - (200.0 / 300)) < 0.02);
        QCOMPARE(std::max(after.size.width(), after.size.height()), std::max(before.size.width(), before.size.height()));
        QCOMPARE(after.center, before.center);
        CollageHistory *history = c.undoManager("Trip");
        QCOMPARE(history->undoText(), QStringLiteral("Crop"));
        history->undo();
        QCOMPARE(photo(c, 0), before);
    }

    void endingWithoutAnEdit()
    {
        ControllerFixture f;
        DesktopWindowController &c = start(f);
        const CollageModel model = c.library().collages()[0].model;
        // A stored crop past the image's edge starts inside it.
        CollageModel odd = model;
        odd.update(photo(c, 0).id, [](PhotoItem &item) { item.cropRect = QRectF(0.5, 0, 0.9, 1); });
        c.views()[0]->onEdit(odd, "Move");
        c.beginCrop(photo(c, 0).id, 0);
        QVERIFY(std::abs(c.cropEditor()->normalisedCrop().width() - 0.5) < 1e-9);
        QTest::keyClick(c.cropEditor(), Qt::Key_Escape);
        QTRY_VERIFY(!c.cropEditor());

        // Cancel, leaving the editing mode, and the print going away each close it.
        const int steps = c.undoManager("Trip")->count();
        c.beginCrop(photo(c, 0).id, 0);
        c.cropEditor()->cancelButton()->click();
        QVERIFY(!c.cropEditor());
        c.beginCrop(photo(c, 0).id, 0);
        c.setEditing(false);
        QVERIFY(!c.cropEditor());
        c.setEditing(true);
        c.beginCrop(photo(c, 0).id, 0);
        c.undoManager("Trip")->undo(); // the "Move" above brought the print back unchanged: still there
        QVERIFY(c.cropEditor());
        CollageModel without = c.library().collages()[0].model;
        without.remove(photo(c, 0).id);
        c.apply(without, "Delete", false);
        QVERIFY(!c.cropEditor());
        QCOMPARE(c.undoManager("Trip")->count(), steps);

        // A missing image opens nothing, with one line saying so.
        StderrCapture log;
        c.beginCrop(photo(c, 0).id, 0); // p1.jpg
        QVERIFY(!c.cropEditor());
        QCOMPARE(log.take().count("cannot crop p1.jpg"), 1);
    }
};

QTEST_MAIN(TestCrop)
#include "tst_crop.moc"
