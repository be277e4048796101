#include "app/shell/EditingShortcut.h"
#include "app/shell/SettingsWindow.h"
#include "app/shell/ShortcutRecorderButton.h"
#include "platform/fake/FakeGlobalHotKey.h"
#include "platform/fake/MemoryPreferences.h"
#include "support/Sandbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QtTest>

namespace {

using Result = GlobalHotKey::Result;

// Where the window shows a text; null when it shows it nowhere (or cuts it, or wraps it).
QRect placeOf(const SettingsWindow &window, const QString &text)
{
    for (QLabel *label : window.findChildren<QLabel *>())
        if (label->text() == text && label->isVisibleTo(&window))
            return label->width() >= label->sizeHint().width() && label->geometry().right() < 400 && !label->wordWrap()
                       ? label->geometry() : QRect();
    return QRect();
}

// A window of the application that has the keyboard, counting the key releases it gets.
struct Elsewhere : QLineEdit {
    int releases = 0;
    void keyReleaseEvent(QKeyEvent *event) override { ++releases, QLineEdit::keyReleaseEvent(event); }
};

} // namespace

class TestSettingsWindow : public QObject {
    Q_OBJECT

private:
    MemoryPreferences m_prefs;
    std::unique_ptr<SettingsWindow> m_window;
    const QFont m_defaultFont = QApplication::font();

    void startRecording()
    {
        QTest::mouseClick(m_window->shortcutButton(), Qt::LeftButton);
        QVERIFY(m_window->isRecording());
        QCOMPARE(m_window->shortcutButton()->text(), QStringLiteral("Type shortcut…"));
    }

private slots:
    void init()
    {
        QFile::remove(Autostart::defaultPath());
        for (const char *key : {"hotkey.keyCode", "hotkey.carbonModifiers", "hotkey.display", "prefs.locationLookup"})
            m_prefs.removeRawValue(QLatin1String(key));
        m_window = std::make_unique<SettingsWindow>(m_prefs);
        m_window->present();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        QApplication::setFont(m_defaultFont);
    }

    // Top to bottom, each part at its distance from the one above, whole and on one line, also
    // with a large font.
    void layoutLocationAndLaunchAtLogin()
    {
        for (int points : {0, 12}) {
            if (points > 0) {
                QApplication::setFont(QFont(m_defaultFont.family(), points));
                init();
            }
            const SettingsWindow &w = *m_window;
            QCOMPARE(w.windowTitle(), QStringLiteral("Veloran Settings"));
            QCOMPARE(w.size(), QSize(400, 210));
            QCOMPARE(w.minimumSize(), w.maximumSize());
            QVERIFY(!w.launchCheckbox()->isChecked() && !w.locationCheckbox()->isChecked());
            QCOMPARE(QStringList({w.launchCheckbox()->text(), w.locationCheckbox()->text()}),
                     QStringList({"Launch at login", "Look up photo locations"}));
            m_window->setShortcutInUse(true);
            const QRect launch = w.launchCheckbox()->geometry(), location = w.locationCheckbox()->geometry();
            const QRect note = placeOf(w, "Names places from a list of cities on this computer; nothing is sent.");
            const QRect button = w.shortcutButton()->geometry(), label = placeOf(w, "Editing shortcut:");
            const QRect inUse = placeOf(w, "In use by another program");
            const QString hintText = QStringLiteral("Click the shortcut, then press a new key combination.");
            const QRect hint = placeOf(w, hintText);
            QCOMPARE(launch.topLeft(), QPoint(22, 22));
            const std::pair<QRect, QRect> below[] = {
                {launch, location}, {location, note}, {note, button}, {button, inUse}, {inUse, hint}};
            QList<int> gaps;
            for (const auto &[upper, lower] : below)
                gaps << lower.top() - upper.bottom() - 1;
            QCOMPARE(gaps, (QList<int>{14, 2, 14, 0 /* the note's own margin */, 14}));
            QVERIFY(label.right() + 9 == button.left() && qAbs(label.center().y() - button.center().y()) <= 1);
            QVERIFY(hint.bottom() < 210);
            m_window->setShortcutInUse(false);
            QTRY_COMPARE(placeOf(w, hintText).top(), button.bottom() + 15);
        }

        // The location lookup and launch at login are switched by their boxes.
        QSignalSpy changed(m_window.get(), &SettingsWindow::locationLookupChanged);
        QTest::mouseClick(m_window->locationCheckbox(), Qt::LeftButton);
        QCOMPARE(m_prefs.value(PreferenceKeys::locationLookup), true);
        QTest::mouseClick(m_window->locationCheckbox(), Qt::LeftButton);
        QCOMPARE(m_prefs.value(PreferenceKeys::locationLookup), false);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(0).at(0).toBool(), true);

        QCheckBox *box = m_window->launchCheckbox();
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(box->isChecked());
        QVERIFY(TestFiles::read(Autostart::defaultPath()).contains("\nExec=" + QCoreApplication::applicationFilePath().toUtf8() + "\n"));
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(!box->isChecked() && !QFile::exists(Autostart::defaultPath()));
        // Where the entry should go there is a folder that cannot be replaced.
        QVERIFY(TestFiles::write(Autostart::defaultPath() + "/keep", "x"));
        StderrCapture log;
        QTest::mouseClick(box, Qt::LeftButton);
        const QByteArray logged = log.take();
        QVERIFY(QDir(Autostart::defaultPath()).removeRecursively());
        QVERIFY2(logged.startsWith("[app] ERROR: launch-at-login toggle failed: cannot write "), logged.constData());
        QVERIFY(!box->isChecked());
    }

    void recording()
    {
        struct Row { Qt::Key key; Qt::KeyboardModifiers mods; QString stored; };
        const Row rows[] = {{Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+K"},
            {Qt::Key_A, Qt::ShiftModifier, "Shift+A"}, {Qt::Key_E, Qt::ControlModifier | Qt::AltModifier, "Ctrl+Alt+E"},
            {Qt::Key_K, {}, {}}, {Qt::Key_Escape, Qt::ControlModifier, {}}, {Qt::Key_Print, Qt::ControlModifier, {}}};
        for (const Row &row : rows) {
            init();
            Elsewhere elsewhere;
            QSignalSpy started(m_window.get(), &SettingsWindow::recordingStarted);
            QSignalSpy changed(m_window.get(), &SettingsWindow::shortcutChanged);
            QSignalSpy ended(m_window.get(), &SettingsWindow::recordingEnded);
            m_window->setShortcutInUse(true);
            startRecording();
            QTest::mouseClick(m_window->shortcutButton(), Qt::LeftButton); // one recording, not two
            QTest::keyClick(&elsewhere, Qt::Key_Control, Qt::ControlModifier); // a modifier alone: still waiting
            QVERIFY(m_window->isRecording() && elsewhere.releases == 0);
            QTest::keyClick(&elsewhere, row.key, row.mods);
            QVERIFY(!m_window->isRecording());
            QCOMPARE(started.count() * 10 + ended.count(), 11);
            const HotKeyBinding now = HotKeyBinding::fromPreferences(m_prefs);
            QCOMPARE(m_window->shortcutButton()->text(), now.display);
            QCOMPARE(now.display, row.stored.isEmpty() ? QStringLiteral("Ctrl+Alt+E") : row.stored);
            QCOMPARE(m_prefs.contains(PreferenceKeys::hotkeyDisplay), !row.stored.isEmpty());
            QCOMPARE(changed.count(), row.stored.isEmpty() ? 0 : 1);
            if (changed.count())
                QVERIFY(changed.first().first().value<HotKeyBinding>() == now);
            QCOMPARE(m_window->isShortcutInUse(), row.stored.isEmpty());
            QTest::keyClick(&elsewhere, Qt::Key_K); // keys go where they went before; the recorded one never did
            QCOMPARE(elsewhere.text(), QStringLiteral("k"));
        }
    }

    // Closing stops recording; nor does any shortcut of the application fire while it runs.
    void noShortcutOfTheApplicationFiresWhileRecording()
    {
        QSignalSpy ended(m_window.get(), &SettingsWindow::recordingEnded);
        startRecording();
        m_window->close();
        QVERIFY(!m_window->isRecording() && ended.count() == 1);
        QTest::keyClick(m_window->shortcutButton(), Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        m_window->present();
        QCOMPARE(m_window->shortcutButton()->text(), QStringLiteral("Ctrl+Alt+E"));
        QShortcut shortcut(QKeySequence(QStringLiteral("Ctrl+Shift+K")), m_window.get());
        QSignalSpy activated(&shortcut, &QShortcut::activated);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        startRecording();
        QTest::keyClick(m_window.get(), Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_prefs.value(PreferenceKeys::hotkeyDisplay), QStringLiteral("Ctrl+Shift+K"));
        QCOMPARE(activated.count(), 0);
        QTest::keyClick(m_window.get(), Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(activated.count(), 1); // it does once recording is over
        // Escape gives up recording first, then closes the window.
        startRecording();
        QTest::keyClick(m_window.get(), Qt::Key_Escape);
        QVERIFY(m_window->isVisible() && !m_window->isRecording());
        QTest::keyClick(m_window.get(), Qt::Key_Escape);
        QVERIFY(!m_window->isVisible());
    }

    // Anything but success is one line naming the combination; in use, the window says so.
    // The shortcut toggles the editing mode, except while it is being recorded.
    void registrationAndPresses()
    {
        const std::pair<Result, QByteArray> rows[] = {
            {Result::InUse, "[app] ERROR: editing shortcut Ctrl+Alt+E is in use by another program; "
                            "it does nothing until another one is chosen in Settings\n"},
            {Result::Failed, "[app] ERROR: editing shortcut Ctrl+Alt+E could not be registered; it does nothing\n"},
            {Result::Registered, ""}};
        for (const auto &[answer, line] : rows) {
            init();
            FakeGlobalHotKey hotKey;
            hotKey.answer = answer;
            EditingShortcut shortcut(hotKey, m_prefs);
            shortcut.attach(m_window.get());
            QSignalSpy toggles(&shortcut, &EditingShortcut::toggleRequested);
            StderrCapture log;
            QCOMPARE(shortcut.registerStored(), answer);
            QCOMPARE(log.take(), line);
            QCOMPARE(m_window->isShortcutInUse(), answer == Result::InUse);
            QCOMPARE(hotKey.held == HotKeyBinding(), answer == Result::Registered);
            QCOMPARE(hotKey.press(), answer == Result::Registered);
            const int toggled = int(toggles.count());
            hotKey.answer = Result::Registered;
            startRecording();
            QVERIFY(!hotKey.isRegistered()); // so that the current combination can be typed
            emit hotKey.pressed();           // one already on its way
            QCOMPARE(toggles.count(), toggled);
            // A new shortcut clears the note, and is registered.
            QTest::keyClick(m_window->shortcutButton(), Qt::Key_F5, Qt::AltModifier);
            QCOMPARE(hotKey.held->display, QStringLiteral("Alt+F5"));
            QVERIFY(!m_window->isShortcutInUse());
            QVERIFY(hotKey.press());
            QCOMPARE(toggles.count(), toggled + 1);
        }
    }
};

int main(int argc, char **argv)
{
    const Sandbox sandbox; // before anything reads the configuration location
    QApplication app(argc, argv);
    TestSettingsWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingswindow.moc"
