#include "core/FileNames.h"

#include "support/Sandbox.h"

#include <QFile>
#include <QLocale>
#include <QTest>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <thread>

namespace {

qsizetype utf8Bytes(const QString &text)
{
    return text.toUtf8().size();
}

QString repeated(const QString &unit, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += unit;
    return text;
}

bool endsAtGraphemeBoundary(const QString &prefix, const QString &whole)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, whole);
    finder.setPosition(prefix.size());
    return finder.isAtBoundary();
}

} // namespace

class TestFileNames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sanitize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("separators") << "a/b:c" << "a-b-c";
        QTest::newRow("backslash") << "a\\b" << "a-b";
        QTest::newRow("two in a row") << "a//b" << "a--b";
        QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << "a-b";
        QTest::newRow("dots inside spaces") << "  ..hidden  " << "hidden";
        QTest::newRow("only dots") << "..." << "Untitled";
        QTest::newRow("dot") << "." << "Untitled";
        QTest::newRow("dot dot") << ".." << "Untitled";
        QTest::newRow("empty") << "" << "Untitled";
        QTest::newRow("spaces") << "   " << "Untitled";
        QTest::newRow("space after dot stays") << ". x" << " x";
        QTest::newRow("newlines and tabs") << "\n\tTrip\r\n" << "Trip";
        QTest::newRow("unicode spaces") << QStringLiteral("\u2003Trip\u00A0\u2029") << "Trip";
        QTest::newRow("inner whitespace") << "Paris: day  1" << "Paris- day  1";
        QTest::newRow("parent escape") << "../../etc" << "-..-etc";
        QTest::newRow("trailing dots") << "Trip..." << "Trip...";
    }

    void sanitize()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString result = FileNames::sanitize(name);
        QCOMPARE(result, expected);
        QVERIFY(FileNames::isPlainComponent(result));
    }

    void sanitizeShortensLongNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("ascii") << repeated(QStringLiteral("a"), 300);
        QTest::newRow("two-byte letters") << repeated(QStringLiteral("é"), 200);
        QTest::newRow("surrogate pairs") << repeated(QStringLiteral("😀"), 100);
        QTest::newRow("combining accents") << repeated(QStringLiteral("e\u0301"), 100);
        QTest::newRow("family emoji") << repeated(QStringLiteral("👨\u200D👩\u200D👧"), 30);
        QTest::newRow("one huge grapheme") << QStringLiteral("a") + repeated(QStringLiteral("\u0301"), 300);
        QTest::newRow("offset by one byte") << QStringLiteral("x") + repeated(QStringLiteral("😀"), 100);
    }

    void sanitizeShortensLongNames()
    {
        QFETCH(QString, name);
        const QString result = FileNames::sanitize(name);
        QVERIFY(!result.isEmpty());
        QVERIFY(utf8Bytes(result) <= FileNames::maxComponentBytes);
        QVERIFY(name.startsWith(result));
        QVERIFY(!result.back().isHighSurrogate());
        // Close to the limit: no more than one grapheme's worth was given away.
        QVERIFY(utf8Bytes(result) > FileNames::maxComponentBytes - 20);
        if (!name.startsWith(QStringLiteral("a\u0301")))
            QVERIFY(endsAtGraphemeBoundary(result, name));
    }

    void sanitizeKeepsNamesAtTheLimit()
    {
        const QString name = repeated(QStringLiteral("a"), FileNames::maxComponentBytes);
        QCOMPARE(FileNames::sanitize(name), name);
    }

    void deduplicated()
    {
        Sandbox sandbox;
        QVERIFY(sandbox.isValid());
        const QString folder = sandbox.path(QStringLiteral("folder"));
        QVERIFY(TestFiles::makeDir(folder));

        QCOMPARE(FileNames::deduplicated("photo", "jpg", folder), QStringLiteral("photo.jpg"));
        QCOMPARE(FileNames::deduplicated("photo", "", folder), QStringLiteral("photo"));
        QCOMPARE(FileNames::deduplicatedDir("Trip", folder), QStringLiteral("Trip"));
        // Nothing is created by asking.
        QVERIFY(TestFiles::entries(folder).isEmpty());

        QVERIFY(TestFiles::write(folder + "/photo.jpg", "x"));
        QVERIFY(TestFiles::write(folder + "/photo-2.jpg", "x"));
        QCOMPARE(FileNames::deduplicated("photo", "jpg", folder), QStringLiteral("photo-3.jpg"));

        QVERIFY(TestFiles::write(folder + "/photo", "x"));
        QCOMPARE(FileNames::deduplicated("photo", "", folder), QStringLiteral("photo-2"));

        QVERIFY(TestFiles::makeDir(folder + "/Trip"));
        QCOMPARE(FileNames::deduplicatedDir("Trip", folder), QStringLiteral("Trip-2"));

        // Any entry is taken: a folder, and a dangling link (writing to it would land elsewhere).
        QVERIFY(TestFiles::makeDir(folder + "/video.mp4"));
        QVERIFY(QFile::link(sandbox.path("nowhere.mp4"), folder + "/video-2.mp4"));
        QCOMPARE(FileNames::deduplicated("video", "mp4", folder), QStringLiteral("video-3.mp4"));
    }

    void deduplicatedKeepsCountedNamesWithinTheLimit()
    {
        Sandbox sandbox;
        const QString folder = sandbox.path(QStringLiteral("folder"));
        const QString base = FileNames::sanitize(repeated(QStringLiteral("é"), 200));

        const QString first = FileNames::deduplicated(base, "jpeg", folder);
        QVERIFY(utf8Bytes(first) <= FileNames::maxComponentBytes);
        QVERIFY(first.endsWith(QStringLiteral(".jpeg")));
        QVERIFY(TestFiles::write(folder + '/' + first, "x"));

        const QString second = FileNames::deduplicated(base, "jpeg", folder);
        QVERIFY(second != first);
        QVERIFY(second.endsWith(QStringLiteral("-2.jpeg")));
        QVERIFY(utf8Bytes(second) <= FileNames::maxComponentBytes);
        QVERIFY(TestFiles::write(folder + '/' + second, "x"));
    }

    void isPlainComponent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plain");
        QTest::newRow("file") << "photo.jpg" << true;
        QTest::newRow("hidden") << ".photo.jpg" << true;
        QTest::newRow("dots inside") << "a..b" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("parent path") << "../photo.jpg" << false;
        QTest::newRow("absolute") << "/etc/passwd" << false;
        QTest::newRow("trailing slash") << "photo/" << false;
        QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral(".jpg") << false;
    }

    void isPlainComponent()
    {
        QFETCH(QString, name);
        QFETCH(bool, plain);
        QCOMPARE(FileNames::isPlainComponent(name), plain);
    }

    void localizedStandardOrder()
    {
        QStringList names{"trip 10", "Trip 2", "Album", "trip", "Trip", "album 1", "Trip 1"};
        std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
            return FileNames::localizedStandardCompare(a, b) < 0;
        });
        QCOMPARE(names.indexOf("Album"), 0);
        QVERIFY(names.indexOf("Trip 2") < names.indexOf("trip 10"));
        QVERIFY(names.indexOf("Trip 1") < names.indexOf("Trip 2"));
        QVERIFY(names.indexOf("album 1") < names.indexOf("Trip"));

        // Names equal but for case still compare unequal, and consistently so.
        const int forward = FileNames::localizedStandardCompare("Trip", "trip");
        QVERIFY(forward != 0);
        QCOMPARE(FileNames::localizedStandardCompare("trip", "Trip"), -forward);
        QCOMPARE(FileNames::localizedStandardCompare("Trip", "Trip"), 0);
    }

    void localizedStandardOrderWithoutALanguage()
    {
        // Each thread sets up its own collator from the default locale at first use.
        const QLocale previous;
        QLocale::setDefault(QLocale::c());
        int numeric = 0, caseless = 0;
        std::thread([&] {
            numeric = FileNames::localizedStandardCompare("Trip 2", "Trip 10");
            caseless = FileNames::localizedStandardCompare("apple", "Banana");
        }).join();
        QLocale::setDefault(previous);
        QCOMPARE(numeric, -1);
        QCOMPARE(caseless, -1);
    }

    void localizedStandardCompareFromSeveralThreads()
    {
        QStringList names;
        for (int i = 0; i < 200; ++i)
            names.append((i % 2 ? QStringLiteral("a Trip ") : QStringLiteral("A Trip ")) + QString::number(i));
        QStringList expected = names;
        const auto less = [](const QString &a, const QString &b) {
            return FileNames::localizedStandardCompare(a, b) < 0;
        };
        std::stable_sort(expected.begin(), expected.end(), less);

        QList<QStringList> results(4, names);
        std::vector<std::thread> threads;
        for (QStringList &list : results)
            threads.emplace_back([&list, less] { std::stable_sort(list.begin(), list.end(), less); });
        for (std::thread &thread : threads)
            thread.join();
        for (const QStringList &list : results)
            QCOMPARE(list, expected);
    }
};

QTEST_GUILESS_MAIN(TestFileNames)
#include "tst_filenames.moc"
