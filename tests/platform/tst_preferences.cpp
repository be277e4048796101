#include "platform/fake/MemoryPreferences.h"
#include "platform/preferences/SettingsPreferences.h"
#include "support/Sandbox.h"

#include <QtTest>

class TestPreferences : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(SettingsPreferences().filePath()); }

    void readWriteAndRemove_data()
    {
        QTest::addColumn<bool>("inFile");
        QTest::newRow("settings file") << true;
        QTest::newRow("memory") << false;
    }

    void readWriteAndRemove()
    {
        QFETCH(bool, inFile);
        std::unique_ptr<Preferences> prefs = std::make_unique<MemoryPreferences>();
        if (inFile)
            prefs = std::make_unique<SettingsPreferences>();
        QSignalSpy changed(prefs.get(), &Preferences::changed);
        QVERIFY(!prefs->contains(PreferenceKeys::locationLookup));
        QCOMPARE(prefs->value(PreferenceKeys::hotkeyKeyCode), 14u);
        QCOMPARE(prefs->value(PreferenceKeys::displayCollageAssignments), StringMap());

        const StringMap assignments{{QStringLiteral("6F1D0C39-0000-5000-8000-000000000001"), QStringLiteral("Trip")},
                                    {QStringLiteral("6F1D0C39-0000-5000-8000-000000000002"), QString()}};
        prefs->setValue(PreferenceKeys::displayCollageAssignments, assignments);
        prefs->setValue(PreferenceKeys::locationLookup, true);
        prefs->setValue(PreferenceKeys::hotkeyKeyCode, 4294967295u);
        prefs->setValue(PreferenceKeys::hotkeyDisplay, QStringLiteral("⌃⌘K"));
        prefs->sync();
        // Read back from the file too, where numbers and booleans are text.
        const SettingsPreferences fromFile;
        QCOMPARE(fromFile.filePath(), qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Veloran/Veloran.conf"));
        const Preferences *written = prefs.get();
        for (const Preferences *p : {written, inFile ? &fromFile : written}) {
            QCOMPARE(p->value(PreferenceKeys::displayCollageAssignments), assignments);
            QCOMPARE(p->value(PreferenceKeys::locationLookup), true);
            QCOMPARE(p->value(PreferenceKeys::hotkeyKeyCode), 4294967295u);
            QCOMPARE(p->value(PreferenceKeys::hotkeyDisplay), QStringLiteral("⌃⌘K"));
        }
        prefs->remove(PreferenceKeys::locationLookup);
        QVERIFY(!prefs->contains(PreferenceKeys::locationLookup));
        QCOMPARE(prefs->value(PreferenceKeys::locationLookup), false);
        QCOMPARE(changed.count(), 5);
        QCOMPARE(changed.at(1).at(0).toString(), QStringLiteral("prefs.locationLookup"));

        for (const QVariant &stored : {QVariant("not a map"), QVariant(QVariantMap{{"A", "x"}, {"B", 7}})}) {
            prefs->setRawValue(PreferenceKeys::displayCollageAssignments.text(), stored);
            QCOMPARE(prefs->value(PreferenceKeys::displayCollageAssignments), StringMap());
        }
        prefs->setRawValue(PreferenceKeys::hotkeyDisplay.text(), QVariantMap{{QStringLiteral("a"), 1}});
        QCOMPARE(prefs->value(PreferenceKeys::hotkeyDisplay), QStringLiteral("Ctrl+Alt+E"));
    }

    // One stored value, read as hotkeyKeyCode (a quint32, by default 14) and as didOnboard.
    void numbersAndBooleans()
    {
        const QList<std::tuple<QVariant, quint32, bool>> rows{
            {77, 77u, true}, {QStringLiteral(" 12 "), 12u, false}, {0, 0u, false}, {-3, 14u, true},
            {qint64(4294967296), 14u, true}, {2.5, 14u, true}, {8.0, 8u, true},
            {QStringLiteral("fourteen"), 14u, false}, {QStringLiteral("true"), 14u, true}, {true, 14u, true}};
        MemoryPreferences prefs;
        for (const auto &[stored, keyCode, flag] : rows) {
            prefs.setRawValue(PreferenceKeys::hotkeyKeyCode.text(), stored);
            prefs.setRawValue(PreferenceKeys::didOnboard.text(), stored);
            QCOMPARE(prefs.value(PreferenceKeys::hotkeyKeyCode), keyCode);
            QCOMPARE(prefs.value(PreferenceKeys::didOnboard), flag);
        }
    }
};

int main(int argc, char **argv)
{
    const Sandbox sandbox; // before anything reads the configuration location
    QCoreApplication app(argc, argv);
    TestPreferences test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_preferences.moc"
