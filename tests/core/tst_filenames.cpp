#include "core/FileNames.h"

#include "support/Sandbox.h"

#include <QFile>
#include <QLocale>
#include <QTest>

#include <algorithm>
#include <thread>

namespace {

QString repeated(const QString &unit, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += unit;
    return text;
}

bool lessByName(const QString &a, const QString &b)
{
    return FileNames::localizedStandardCompare(a, b) < 0;
}

} // namespace

class TestFileNames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sanitize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("separators") << QStringLiteral("a/b:c\\d") + QChar(0) + QStringLiteral("e//f") << "a-b-c-d-e--f";
        QTest::newRow("dots inside spaces") << "  ..hidden  " << "hidden";
        QTest::newRow("dot dot") << ".." << "Untitled";
        QTest::newRow("spaces") << "   " << "Untitled";
        QTest::newRow("space after dot") << ". x" << "x";
        QTest::newRow("whitespace") << QStringLiteral("\n\t\u2003Trip\u00A0\u2029\r\n") << "Trip";
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
        QTest::addColumn<int>("kept"); // UTF-16 units of the longest prefix within 255 bytes, whole graphemes
        QTest::newRow("ascii") << repeated(QStringLiteral("a"), 300) << 255;
        QTest::newRow("at the limit") << repeated(QStringLiteral("a"), 255) << 255;
        QTest::newRow("two-byte letters") << repeated(QStringLiteral("é"), 200) << 127;
        QTest::newRow("UTF-8 length boundaries") << repeated(QStringLiteral("\u0080\u0800"), 100) << 102;
        QTest::newRow("lone surrogate as its replacement") << repeated(QStringLiteral("日"), 84) + QChar(0xD83D) + 'x' << 85;
        QTest::newRow("surrogate pairs") << repeated(QStringLiteral("😀"), 100) << 126;
        QTest::newRow("offset by one byte") << QStringLiteral("x") + repeated(QStringLiteral("😀"), 100) << 127;
        QTest::newRow("combining accents") << QStringLiteral("ab") + repeated(QStringLiteral("e\u0301"), 100) << 170;
        QTest::newRow("family emoji") << repeated(QStringLiteral("👨\u200D👩\u200D👧"), 30) << 112;
        // A single grapheme larger than the budget is cut between code points.
        QTest::newRow("one huge grapheme") << QStringLiteral("😀") + repeated(QStringLiteral("\u0301"), 300) << 127;
    }

    void sanitizeShortensLongNames()
    {
        QFETCH(QString, name);
        QFETCH(int, kept);
        QCOMPARE(FileNames::sanitize(name), name.left(kept));
    }

    void sanitizeIsIdempotent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("cut before a space") << repeated(QStringLiteral("é"), 127) + QStringLiteral(" tail");
        QTest::newRow("cut before spaces, 3-byte") << repeated(QStringLiteral("日"), 84) + QStringLiteral("   日本");
        QTest::newRow("cut after an ideographic space") << repeated(QStringLiteral("a"), 252) + QStringLiteral("\u3000b");
        QTest::newRow("dots and spaces") << ". . .x";
        QTest::newRow("dot space") << ". x";
    }

    void sanitizeIsIdempotent()
    {
        QFETCH(QString, name);
        const QString once = FileNames::sanitize(name);
        QCOMPARE(FileNames::sanitize(once), once);
        QVERIFY(!once.back().isSpace());
    }

    void deduplicated()
    {
        Sandbox sandbox;
        const QString folder = sandbox.path(QStringLiteral("folder"));
        QVERIFY(TestFiles::makeDir(folder));
        QCOMPARE(FileNames::deduplicated("photo", "jpg", folder), QStringLiteral("photo.jpg"));
        QCOMPARE(FileNames::deduplicatedDir("Trip", folder), QStringLiteral("Trip"));
        QVERIFY(TestFiles::entries(folder).isEmpty()); // nothing is created by asking
        QVERIFY(TestFiles::write(folder + "/photo.jpg", "x") && TestFiles::write(folder + "/photo-2.jpg", "x"));
        QCOMPARE(FileNames::deduplicated("photo", "jpg", folder), QStringLiteral("photo-3.jpg"));
        QVERIFY(TestFiles::makeDir(folder + "/Trip"));
        QCOMPARE(FileNames::deduplicatedDir("Trip", folder), QStringLiteral("Trip-2"));
        // Any entry is taken: a folder, and a dangling link (writing to it would land elsewhere).
        QVERIFY(TestFiles::makeDir(folder + "/video.mp4"));
        QVERIFY(QFile::link(sandbox.path("nowhere.mp4"), folder + "/video-2.mp4"));
        QCOMPARE(FileNames::deduplicated("video", "mp4", folder), QStringLiteral("video-3.mp4"));
    }

    // The counter and extension fit within the limit by shortening the base, whole letters only.
    void deduplicatedKeepsCountedNamesWithinTheLimit()
    {
        Sandbox sandbox;
        const QString folder = sandbox.path(QStringLiteral("folder"));
        const QString base = FileNames::sanitize(repeated(QStringLiteral("é"), 200));
        QCOMPARE(FileNames::deduplicated(base, "jpeg", folder), repeated(QStringLiteral("é"), 125) + ".jpeg");
        QVERIFY(TestFiles::write(folder + '/' + FileNames::deduplicated(base, "jpeg", folder), "x"));
        QCOMPARE(FileNames::deduplicated(base, "jpeg", folder), repeated(QStringLiteral("é"), 124) + "-2.jpeg");
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
        std::stable_sort(names.begin(), names.end(), lessByName);
        QCOMPARE(names, QStringList({"Album", "album 1", "Trip", "trip", "Trip 1", "Trip 2", "trip 10"}));
        // Always -1, 0 or 1; names equal but for case still compare unequal, consistently so.
        QCOMPARE(FileNames::localizedStandardCompare("Trip 10", "Trip 2"), 1);
        QCOMPARE(FileNames::localizedStandardCompare("Trip", "trip"), -1);
        QCOMPARE(FileNames::localizedStandardCompare("trip", "Trip"), 1);
        QCOMPARE(FileNames::localizedStandardCompare("Trip", "Trip"), 0);
    }

    // Each thread sets up its own collator from the default locale at first use; in the C
    // locale, which by itself would compare code points, the order is still the usual one.
    void localizedStandardOrderOnFreshThreadsWithoutALanguage()
    {
        QStringList expected;
        for (int i = 0; i < 200; ++i)
            expected.append((i % 2 ? QStringLiteral("a Trip ") : QStringLiteral("A Trip ")) + QString::number(i));
        const QLocale previous;
        QLocale::setDefault(QLocale::c());
        QList<QStringList> results(4, QStringList(expected.crbegin(), expected.crend()));
        std::vector<std::thread> threads;
        for (QStringList &list : results)
            threads.emplace_back([&list] { std::stable_sort(list.begin(), list.end(), lessByName); });
        for (std::thread &thread : threads)
            thread.join();
        QLocale::setDefault(previous);
        for (const QStringList &list : results)
            QCOMPARE(list, expected);
    }
};

QTEST_GUILESS_MAIN(TestFileNames)
#include "tst_filenames.moc"
