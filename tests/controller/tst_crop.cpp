#include "controller/support/ControllerFixture.h"

#include "app/canvas/CollageView.h"
#include "app/controller/CollageHistory.h"
#include "app/controller/ControlBar.h"
#include "app/controller/DesktopWindow.h"
#include "app/crop/CropEditorView.h"

#include <QPushButton>
#include <QTest>

// The crop editor over an editing window, opened on a print, ends in one "Crop" step or in nothing.
class TestCrop : public QObject {
    Q_OBJECT
    static PhotoItem photo(DesktopWindowController &c, int index) { return c.library().collages()[0].model.drawOrder()[index]; }

private Q_SLOTS:
    void aCornerDragAndReturnCropInOneStepElseNothing()
    {
        ControllerFixture f;
        // "Trip" with p0.jpg (a real 400 × 300 image) and p1.jpg (missing), in editing mode.
        f.writeLibrary({"Trip"}, {2});
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(f.path("Trip/p0.jpg")));
        DesktopWindowController &c = f.controller();
        c.setEditing(true);
        const PhotoItem before = photo(c, 0);
        c.views()[0]->onBeginCrop(before.id);
        CropEditorView *editor = c.cropEditor();
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(editor->parentWidget(), static_cast<QWidget *>(c.windows()[0]));
        QCOMPARE(editor->geometry(), c.windows()[0]->rect());
        QCOMPARE(editor->crop(), editor->imageRect());
        QVERIFY(!c.controlBars()[0]->isVisible()); // its own buttons take the bar's place
        QTRY_VERIFY(editor->hasImage());
        QCOMPARE(editor->commitButton()->x() - editor->cancelButton()->geometry().right() - 1, 12); // side by side

        const QPoint corner = editor->crop().topRight().toPoint();
        const int half = int(editor->crop().width() / 2);
        QTest::mousePress(editor, Qt::LeftButton, {}, corner);
        QTest::mouseMove(editor, corner - QPoint(half, 0));
        QTest::mouseRelease(editor, Qt::LeftButton, {}, corner - QPoint(half, 0));
        QTest::keyClick(editor, Qt::Key_Delete); // the canvas would act on it
        QCOMPARE(c.library().collages()[0].model.items().size(), 2);
        QTest::keyClick(editor, Qt::Key_Return);

        QTRY_VERIFY(!c.cropEditor());
        QVERIFY(c.controlBars()[0]->isVisible());
        const PhotoItem after = photo(c, 0);
        QVERIFY(std::abs(after.cropRect.width() - 0.5) < 0.01);
        QCOMPARE(after.cropRect.height(), 1.0);
        QVERIFY(std::abs(after.size.width() / after.size.height() - (200.0 / 300)) < 0.02); // the crop's shape
        QCOMPARE(std::max(after.size.width(), after.size.height()), std::max(before.size.width(), before.size.height()));
        QCOMPARE(after.center, before.center);
        CollageHistory *history = c.undoManager("Trip");
        QCOMPARE(history->undoText(), QStringLiteral("Crop"));
        history->undo();
        QCOMPARE(photo(c, 0), before);

        CollageModel odd = c.library().collages()[0].model;
        odd.update(photo(c, 0).id, [](PhotoItem &item) { item.cropRect = QRectF(0.5, 0, 0.9, 1); });
        c.views()[0]->onEdit(odd, "Move"); // a stored crop past the image's edge starts inside it
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

        StderrCapture log;
        c.beginCrop(photo(c, 0).id, 0); // p1.jpg, missing: nothing opens, one line says so
        QVERIFY(!c.cropEditor());
        QCOMPARE(log.take().count("cannot crop p1.jpg"), 1);
    }
};

QTEST_MAIN(TestCrop)
#include "tst_crop.moc"
