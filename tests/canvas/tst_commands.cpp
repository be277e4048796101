#include "app/canvas/CollageView.h"
#include "canvas/support/CanvasFixture.h"
#include "support/ModelFactory.h"
#include "support/Sandbox.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cmath>

// The keyboard map, the context menu, copying and pasting prints, and dropping files.
class TestCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        CanvasFixture::installFakePlatform();
        m_view = CanvasFixture::makeView(QSize(1440, 900));
        m_edits.clear();
        m_calls.clear();
        CanvasFixture::recordEdits(*m_view, m_edits);
        m_view->onUndo = [this] { m_calls << QStringLiteral("undo"); };
        m_view->onRedo = [this] { m_calls << QStringLiteral("redo"); };
        m_view->onPasteFromClipboard = [this] { m_calls << QStringLiteral("clipboard"); };
        m_view->onExitEdit = [this] { m_calls << QStringLiteral("exit"); };
        m_view->onBeginCrop = [this](const QUuid &id) { m_calls << QStringLiteral("crop ") + id.toString(); };
        m_view->onDropImage = [this](const QStringList &files, QPointF p) {
            m_calls << QStringLiteral("drop %1 %2,%3").arg(files.join(QLatin1Char('+'))).arg(p.x()).arg(p.y());
        };
        m_view->setEditing(true);
        m_item = ModelFactory::item(QUuid::createUuid(), 0, {100, 100}, {200, 150});
        m_item.caption = QStringLiteral("May 2024");
        m_item.flipH = true;
        m_item.rotation = 0.3;
        m_other = ModelFactory::item(QUuid::createUuid(), 5, {500, 400}, {20, 15});
        CanvasFixture::show(*m_view, CollageModel({m_item, m_other}));
    }

    void cleanup() { m_view.reset(); }

    // Without a selection, print commands pass on and only the collage-wide ones act.
    void keysWithoutSelection()
    {
        QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QApplication::sendEvent(m_view.get(), &up);
        QVERIFY(!up.isAccepted());
        key(Qt::Key_BracketRight, Qt::ControlModifier);
        key(Qt::Key_D, Qt::ControlModifier);
        key(Qt::Key_C);
        key(Qt::Key_Z, Qt::ControlModifier);
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        key(Qt::Key_Y, Qt::ControlModifier);
        key(Qt::Key_V, Qt::ControlModifier); // nothing copied: the clipboard is asked
        key(Qt::Key_Escape);
        QCOMPARE(m_calls, (QStringList{"undo", "redo", "redo", "clipboard", "exit"}));
        QVERIFY(m_edits.isEmpty());
    }

    void editsWithTheirNames_data()
    {
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPointF>("center");
        QTest::addColumn<double>("rotation");
        QTest::newRow("shift up") << (Qt::ShiftModifier | Qt::Key_Up) << "Move" << QPointF(100, 110) << 0.3;
        QTest::newRow("left") << QKeyCombination(Qt::Key_Left) << "Move" << QPointF(99, 100) << 0.3;
        QTest::newRow("down") << QKeyCombination(Qt::Key_Down) << "Move" << QPointF(100, 99) << 0.3;
        QTest::newRow("shift right") << (Qt::ShiftModifier | Qt::Key_Right) << "Move" << QPointF(110, 100) << 0.3;
        QTest::newRow("]") << QKeyCombination(Qt::Key_BracketRight) << "Adjust" << QPointF(100, 100) << 0.3 + M_PI / 36;
        QTest::newRow("[") << QKeyCombination(Qt::Key_BracketLeft) << "Adjust" << QPointF(100, 100) << 0.3 - M_PI / 36;
    }

    void editsWithTheirNames()
    {
        QFETCH(QKeyCombination, keys);
        QFETCH(QString, name);
        QFETCH(QPointF, center);
        QFETCH(double, rotation);
        select(m_item.id);
        key(keys.key(), keys.keyboardModifiers());
        QCOMPARE(m_edits.size(), 1);
        QCOMPARE(m_edits[0].name, name);
        QVERIFY(m_edits[0].model[m_item.id]->center == center && m_edits[0].model[m_item.id]->rotation == rotation);
        // The canvas never shows its own command: the controller hands the model back.
        QCOMPARE(m_view->model()[m_item.id]->center, QPointF(100, 100));
    }

    void deleteKeysAndScaleKeysThatStopAtTwentyButStillEdit()
    {
        for (const Qt::Key k : {Qt::Key_Delete, Qt::Key_Backspace}) {
            select(m_item.id);
            key(k);
            QCOMPARE(m_edits.last().name, QStringLiteral("Delete"));
            QVERIFY(!m_edits.last().model[m_item.id] && !m_view->selectedID());
        }
        QCOMPARE(m_edits.size(), 2);

        select(m_other.id);
        key(Qt::Key_Plus, Qt::ShiftModifier);
        QCOMPARE(m_edits.last().model[m_other.id]->size, QSizeF(21, 20));
        key(Qt::Key_Equal);
        QCOMPARE(m_edits.last().name, QStringLiteral("Adjust"));
        m_view->setModel(CollageModel({ModelFactory::item(m_other.id, 0, {1, 1}, {20, 20})}));
        key(Qt::Key_Minus);
        QCOMPARE(m_edits.size(), 5);
        QCOMPARE(m_edits.last().model[m_other.id]->size, QSizeF(20, 20));
    }

    void duplicateAndPastePlacement()
    {
        select(m_item.id);
        key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(m_edits.size(), 1);
        QCOMPARE(m_edits[0].name, QStringLiteral("Duplicate"));
        const PhotoItem dup = m_edits[0].model.items().last();
        QCOMPARE(dup.zIndex, 6);
        QVERIFY(dup.center == QPointF(124, 76) && dup.caption == m_item.caption);
        QVERIFY(dup.flipH && dup.rotation == 0.3 && dup.id != m_item.id);
        QCOMPARE(m_view->selectedID(), dup.id);

        // Copy, then paste twice: both copies land at the same place.
        select(m_item.id);
        key(Qt::Key_C, Qt::ControlModifier);
        key(Qt::Key_V, Qt::ControlModifier);
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_edits.size(), 3);
        QCOMPARE(m_edits[1].name, QStringLiteral("Paste"));
        QVERIFY(m_edits[1].model.items().last().center == QPointF(124, 76));
        QVERIFY(m_edits[2].model.items().last().center == QPointF(124, 76));
        QVERIFY(m_calls.isEmpty());
    }

    void pasteIntoAnotherCollageCopiesTheFile()
    {
        QTemporaryDir first, second;
        m_item.imageFileName = CanvasFixture::writeImage(first, QStringLiteral("a.jpg"), CanvasFixture::testImage({64, 48}));
        m_view->setImageBaseDir(first.path());
        CanvasFixture::show(*m_view, CollageModel({m_item}));
        select(m_item.id);
        key(Qt::Key_C, Qt::ControlModifier);
        // Pasting in the same collage shares the file.
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_edits.last().model.items().last().imageFileName, QStringLiteral("a.jpg"));

        // The screen switches to a collage whose folder holds another a.jpg.
        QVERIFY(TestFiles::write(second.filePath("a.jpg"), "another photo"));
        m_view->setImageBaseDir(second.path());
        CanvasFixture::show(*m_view, CollageModel());
        key(Qt::Key_V, Qt::ControlModifier);
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_edits.size(), 3);
        QCOMPARE(m_edits[1].model.items().last().imageFileName, QStringLiteral("a-2.jpg"));
        QCOMPARE(m_edits[2].model.items().last().imageFileName, QStringLiteral("a-3.jpg"));
        QCOMPARE(TestFiles::read(second.filePath("a-2.jpg")), TestFiles::read(first.filePath("a.jpg")));
        QCOMPARE(TestFiles::read(second.filePath("a.jpg")), QByteArray("another photo"));
        QCOMPARE(TestFiles::entries(first.path()), QStringList{"a.jpg"});

        // A file gone from the collage it was copied in is not pasted as a grey print.
        QVERIFY(QFile::remove(first.filePath("a.jpg")) && QFile::remove(second.filePath("a.jpg")));
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_edits.size(), 3);
    }

    void contextMenuAndRestacking()
    {
        select(m_item.id);
        std::unique_ptr<QMenu> menu(m_view->buildContextMenu());
        QStringList titles;
        for (QAction *action : menu->actions())
            titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(titles, (QStringList{"Bring to Front", "Bring Forward", "Send Backward", "Send to Back", "-", "Crop…",
                                      "Rotate Left", "Rotate Right", "Straighten", "-", "Flip Horizontal",
                                      "Flip Vertical", "-", "Duplicate", "Delete"}));
        const auto trigger = [&](const QString &title) {
            for (QAction *action : menu->actions())
                if (action->text() == title)
                    action->trigger();
            return m_edits.isEmpty() ? CanvasFixture::Edit{} : m_edits.last();
        };
        QCOMPARE(trigger(QStringLiteral("Rotate Left")).model[m_item.id]->rotation, 0.3 + M_PI / 2);
        QCOMPARE(m_edits.last().name, QStringLiteral("Rotate"));
        QCOMPARE(trigger(QStringLiteral("Rotate Right")).model[m_item.id]->rotation, 0.3 - M_PI / 2);
        QCOMPARE(trigger(QStringLiteral("Straighten")).model[m_item.id]->rotation, 0.0);
        QCOMPARE(m_edits.last().name, QStringLiteral("Straighten"));
        QVERIFY(!trigger(QStringLiteral("Flip Horizontal")).model[m_item.id]->flipH);
        QVERIFY(trigger(QStringLiteral("Flip Vertical")).model[m_item.id]->flipV);
        QCOMPARE(m_edits.last().name, QStringLiteral("Flip"));
        // Bring Forward between equal neighbours still sends its edit.
        QCOMPARE(trigger(QStringLiteral("Bring Forward")).name, QStringLiteral("Bring Forward"));
        QCOMPARE(trigger(QStringLiteral("Send Backward")).name, QStringLiteral("Send Backward"));
        // The keyboard restacks to the ends, and asks for a crop.
        key(Qt::Key_BracketRight, Qt::ControlModifier);
        QCOMPARE(m_edits.last().name, QStringLiteral("Bring to Front"));
        QCOMPARE(m_edits.last().model[m_item.id]->zIndex, 6);
        key(Qt::Key_BracketLeft, Qt::ControlModifier);
        QCOMPARE(m_edits.last().name, QStringLiteral("Send to Back"));
        QCOMPARE(m_edits.last().model[m_item.id]->zIndex, -1);
        key(Qt::Key_C);
        QCOMPARE(m_calls, QStringList{"crop " + m_item.id.toString()});
    }

    void rightClickSelectsOrPassesOn()
    {
        const QPoint empty = m_view->coords().toScene({1200, 800}).toPoint();
        QContextMenuEvent onEmpty(QContextMenuEvent::Mouse, empty, m_view->viewport()->mapToGlobal(empty));
        QApplication::sendEvent(m_view->viewport(), &onEmpty);
        QVERIFY(!onEmpty.isAccepted() && !m_view->selectedID());
        const QPoint onPrint = m_view->coords().toScene({100, 100}).toPoint();
        QContextMenuEvent event(QContextMenuEvent::Mouse, onPrint, m_view->viewport()->mapToGlobal(onPrint));
        QApplication::sendEvent(m_view->viewport(), &event);
        QCOMPARE(m_view->selectedID(), m_item.id);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QApplication::activePopupWidget()->close();
    }

    void dropsOnlyImagesOnlyWhileEditing()
    {
        QTemporaryDir dir;
        const QString a = CanvasFixture::writeImage(dir, QStringLiteral("a.png"), CanvasFixture::testImage({8, 8}));
        const QString b = CanvasFixture::writeImage(dir, QStringLiteral("b.jpg"), CanvasFixture::testImage({8, 8}));
        QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("notes.txt")), "hello"));
        QMimeData images;
        images.setUrls({QUrl::fromLocalFile(dir.filePath(QStringLiteral("notes.txt"))),
                        QUrl::fromLocalFile(dir.filePath(a)), QUrl::fromLocalFile(dir.filePath(b))});
        QMimeData onlyText;
        onlyText.setUrls({QUrl::fromLocalFile(dir.filePath(QStringLiteral("notes.txt")))});
        QVERIFY(!m_view->acceptsDrop(&onlyText));
        const QPointF at = m_view->coords().toScene({300, 200});
        for (const bool editing : {true, false}) { // every image in one batch, and only while editing
            m_view->setEditing(editing);
            QCOMPARE(m_view->acceptsDrop(&images), editing);
            QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &images, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_view->viewport(), &enter);
            QCOMPARE(enter.isAccepted(), editing);
            QDropEvent drop(at, Qt::CopyAction, &images, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_view->viewport(), &drop);
            QCOMPARE(m_calls, QStringList{"drop " + dir.filePath(a) + '+' + dir.filePath(b) + " 300,200"});
        }
    }

private:
    void select(const QUuid &id) { CanvasFixture::selectPrint(*m_view, id); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(m_view.get(), key, modifiers); }


    std::unique_ptr<CollageView> m_view;
    QList<CanvasFixture::Edit> m_edits;
    QStringList m_calls;
    PhotoItem m_item, m_other;
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
