#include "platform/fake/MemoryPreferences.h"
#include "platform/preferences/SettingsPreferences.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Set before anything reads the configuration location: the tests must not reach $HOME.
QTemporaryDir &configHome()
{
    static QTemporaryDir dir;
    return dir;
}

std::unique_ptr<Preferences> make(const QString &kind)
{
    if (kind == QLatin1String("memory"))
        return std::make_unique<MemoryPreferences>();
    return std::make_unique<SettingsPreferences>();
}

} // namespace

class TestPreferences : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(SettingsPreferences().filePath());
    }

    void implementations_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("settings file") << QStringLiteral("settings");
        QTest::newRow("memory") << QStringLiteral("memory");
    }

    void defaults_data() { implementations_data(); }
    void defaults()
    {
        QFETCH(QString, kind);
        const auto prefs = make(kind);
        QCOMPARE(prefs->value(PreferenceKeys::displayCollageAssignments), StringMap());
        QCOMPARE(prefs->value(PreferenceKeys::locationLookup), false);
        QCOMPARE(prefs->value(PreferenceKeys::didOnboard), false);
        QCOMPARE(prefs->value(PreferenceKeys::hotkeyKeyCode), 14u);
        QCOMPARE(prefs->value(PreferenceKeys::hotkeyCarbonModifiers), 2304u);
        QCOMPARE(prefs->value(PreferenceKeys::hotkeyDisplay), QStringLiteral("⌥⌘E"));
        QVERIFY(!prefs->contains(PreferenceKeys::didOnboard));
    }

    void roundTrip_data() { implementations_data(); }
    void roundTrip()
    {
        QFETCH(QString, kind);
        const auto prefs = make(kind);
        const StringMap assignments{{QStringLiteral("6F1D0C39-0000-5000-8000-000000000001"), QStringLiteral("Trip")},
                                    {QStringLiteral("6F1D0C39-0000-5000-8000-000000000002"), QString()}};
        prefs->setValue(PreferenceKeys::displayCollageAssignments, assignments);
        prefs->setValue(PreferenceKeys::locationLookup, true);
        prefs->setValue(PreferenceKeys::didOnboard, true);
        prefs->setValue(PreferenceKeys::hotkeyKeyCode, 4294967295u);
        prefs->setValue(PreferenceKeys::hotkeyCarbonModifiers, 4352u);
        prefs->setValue(PreferenceKeys::hotkeyDisplay, QStringLiteral("⌃⌘K"));
        prefs->sync();

        QCOMPARE(prefs->value(PreferenceKeys::displayCollageAssignments), assignments);
        QCOMPARE(prefs->value(PreferenceKeys::locationLookup), true);
        QCOMPARE(prefs->value(PreferenceKeys::hotkeyKeyCode), 4294967295u);
        QCOMPARE(prefs->value(PreferenceKeys::hotkeyDisplay), QStringLiteral("⌃⌘K"));
        QVERIFY(prefs->contains(PreferenceKeys::didOnboard));

        if (kind == QLatin1String("settings")) {
            // Read back by a fresh instance from the file, where numbers and booleans are text.
            SettingsPreferences again;
            QCOMPARE(again.value(PreferenceKeys::displayCollageAssignments), assignments);
            QCOMPARE(again.value(PreferenceKeys::didOnboard), true);
            QCOMPARE(again.value(PreferenceKeys::locationLookup), true);
            QCOMPARE(again.value(PreferenceKeys::hotkeyKeyCode), 4294967295u);
            QCOMPARE(again.value(PreferenceKeys::hotkeyCarbonModifiers), 4352u);
            QCOMPARE(again.value(PreferenceKeys::hotkeyDisplay), QStringLiteral("⌃⌘K"));
        }

        prefs->remove(PreferenceKeys::didOnboard);
        QVERIFY(!prefs->contains(PreferenceKeys::didOnboard));
        QCOMPARE(prefs->value(PreferenceKeys::didOnboard), false);
    }

    void malformedValues_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QVariant>("stored");
        for (const QString &kind : {QStringLiteral("settings"), QStringLiteral("memory")}) {
            const QByteArray k = kind.toLatin1();
            QTest::newRow(k + " string") << kind << QVariant(QStringLiteral("not a map"));
            QTest::newRow(k + " number") << kind << QVariant(42);
            QTest::newRow(k + " list") << kind << QVariant(QVariantList{QStringLiteral("a"), QStringLiteral("b")});
            QTest::newRow(k + " map with a number")
                << kind << QVariant(QVariantMap{{QStringLiteral("A"), QStringLiteral("x")}, {QStringLiteral("B"), 7}});
            QTest::newRow(k + " map with a map")
                << kind << QVariant(QVariantMap{{QStringLiteral("A"), QVariantMap{{QStringLiteral("x"), QStringLiteral("y")}}}});
        }
    }

    void malformedValues()
    {
        QFETCH(QString, kind);
        QFETCH(QVariant, stored);
        const auto prefs = make(kind);
        prefs->setRawValue(PreferenceKeys::displayCollageAssignments.text(), stored);
        prefs->setRawValue(PreferenceKeys::hotkeyDisplay.text(), QVariantMap{{QStringLiteral("a"), 1}});
        QCOMPARE(prefs->value(PreferenceKeys::displayCollageAssignments), StringMap());
        QCOMPARE(prefs->value(PreferenceKeys::hotkeyDisplay), QStringLiteral("⌥⌘E"));
    }

    void numbersAndBooleans_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<bool>("flag"); // read as didOnboard
        QTest::newRow("int") << QVariant(77) << 77u << true;
        QTest::newRow("text number") << QVariant(QStringLiteral(" 12 ")) << 12u << false;
        QTest::newRow("zero") << QVariant(0) << 0u << false;
        QTest::newRow("negative") << QVariant(-3) << 14u << true;
        QTest::newRow("too large") << QVariant(qint64(4294967296)) << 14u << true;
        QTest::newRow("fraction") << QVariant(2.5) << 14u << true;
        QTest::newRow("whole double") << QVariant(8.0) << 8u << true;
        QTest::newRow("words") << QVariant(QStringLiteral("fourteen")) << 14u << false;
        QTest::newRow("text true") << QVariant(QStringLiteral("true")) << 14u << true;
        QTest::newRow("bool") << QVariant(true) << 14u << true;
    }

    void numbersAndBooleans()
    {
        QFETCH(QVariant, stored);
        QFETCH(quint32, keyCode);
        QFETCH(bool, flag);
        MemoryPreferences prefs;
        prefs.setRawValue(PreferenceKeys::hotkeyKeyCode.text(), stored);
        prefs.setRawValue(PreferenceKeys::didOnboard.text(), stored);
        QCOMPARE(prefs.value(PreferenceKeys::hotkeyKeyCode), keyCode);
        QCOMPARE(prefs.value(PreferenceKeys::didOnboard), flag);
    }

    // A hand-edited file: plain text values, a map that is not one.
    void handWrittenFile()
    {
        const QString path = SettingsPreferences().filePath();
        QCOMPARE(path, configHome().path() + QStringLiteral("/Veloran/Veloran.conf"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[General]\ndidOnboard=true\nprefs.locationLookup=no\nhotkey.keyCode=31\n"
                   "displayCollageAssignments=hello\n");
        file.close();
        SettingsPreferences prefs;
        QCOMPARE(prefs.value(PreferenceKeys::didOnboard), true);
        QCOMPARE(prefs.value(PreferenceKeys::locationLookup), false);
        QCOMPARE(prefs.value(PreferenceKeys::hotkeyKeyCode), 31u);
        QCOMPARE(prefs.value(PreferenceKeys::displayCollageAssignments), StringMap());
    }

    void changeSignal_data() { implementations_data(); }
    void changeSignal()
    {
        QFETCH(QString, kind);
        const auto prefs = make(kind);
        QSignalSpy spy(prefs.get(), &Preferences::changed);
        prefs->setValue(PreferenceKeys::locationLookup, true);
        prefs->remove(PreferenceKeys::locationLookup);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("prefs.locationLookup"));
    }
};

int main(int argc, char **argv)
{
    if (!configHome().isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome().path()));
    qputenv("HOME", QFile::encodeName(configHome().path()));
    QCoreApplication app(argc, argv);
    TestPreferences test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_preferences.moc"
