#include "core/FileNames.h"

#include "support/Sandbox.h"

#include <QFile>
#include <QLocale>
#include <QTest>

#include <algorithm>
#include <thread>

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
        QTest::newRow("space after dot") << ". x" << "x";
        QTest::newRow("whitespace") << QStringLiteral("\n\t\u2003Trip\u00A0\u2029\r\n") << "Trip";
        QTest::newRow("inner whitespace") << "Paris: day  1" << "Paris- day  1";
        QTest::newRow("parent escape") << "../../etc" << "-..-etc";
        QTest::newRow("trailing dots") << "Trip..." << "Trip...";
        // Long names keep the longest prefix of whole graphemes within 255 bytes of UTF-8.
        const auto cut = [](const char *tag, const QString &name, int kept) { QTest::newRow(tag) << name << name.left(kept); };
        cut("ascii", QStringLiteral("a").repeated(300), 255);
        cut("two-byte letters", QStringLiteral("é").repeated(200), 127);
        cut("UTF-8 length boundaries", QStringLiteral("\u0080\u0800").repeated(100), 102);
        cut("lone surrogate as its replacement", QStringLiteral("日").repeated(84) + QChar(0xD83D) + 'x', 85);
        cut("surrogate pairs", QStringLiteral("😀").repeated(100), 126);
        cut("combining accents", QStringLiteral("ab") + QStringLiteral("e\u0301").repeated(100), 170);
        // A single grapheme larger than the budget is cut between code points.
        cut("one huge grapheme", QStringLiteral("😀") + QStringLiteral("\u0301").repeated(300), 127);
        // Spaces the cut leaves at the end go too, so that a second pass changes nothing.
        cut("cut before a space", QStringLiteral("é").repeated(127) + QStringLiteral(" tail"), 127);
        cut("cut before spaces, 3-byte", QStringLiteral("日").repeated(84) + QStringLiteral("   日本"), 84);
        cut("cut after an ideographic space", QStringLiteral("a").repeated(252) + QStringLiteral("\u3000b"), 252);
        QTest::newRow("dots and spaces") << ". . .x" << "x";
    }

    void sanitize()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString result = FileNames::sanitize(name);
        QCOMPARE(result, expected);
        QCOMPARE(FileNames::sanitize(result), result);
        QVERIFY(FileNames::isPlainComponent(result));
    }

    // Any entry takes a name: a file, a folder, a dangling link (writing to it would land
    // elsewhere); asking creates nothing. The counter and extension fit within the limit by
    // shortening the base, whole letters only.
    void deduplicatedPlainComponentsAndOrder()
    {
        Sandbox sandbox;
        const QString folder = sandbox.path(QStringLiteral("folder"));
        QCOMPARE(FileNames::deduplicated("video", "mp4", folder), QStringLiteral("video.mp4"));
        QVERIFY(TestFiles::write(folder + "/video.mp4", "x") && TestFiles::makeDir(folder + "/video-2.mp4"));
        QVERIFY(QFile::link(sandbox.path("nowhere.mp4"), folder + "/video-3.mp4"));
        QCOMPARE(FileNames::deduplicated("video", "mp4", folder), QStringLiteral("video-4.mp4"));
        QCOMPARE(FileNames::deduplicatedDir("video-2.mp4", folder), QStringLiteral("video-2.mp4-2"));
        QCOMPARE(TestFiles::entries(folder), QStringList({"video-2.mp4", "video-3.mp4", "video.mp4"}));
        const QString base = FileNames::sanitize(QStringLiteral("é").repeated(200));
        QCOMPARE(FileNames::deduplicated(base, "jpeg", folder), QStringLiteral("é").repeated(125) + ".jpeg");
        QVERIFY(TestFiles::write(folder + '/' + FileNames::deduplicated(base, "jpeg", folder), "x"));
        QCOMPARE(FileNames::deduplicated(base, "jpeg", folder), QStringLiteral("é").repeated(124) + "-2.jpeg");

        // Plain components are single, safe path components.
        for (const char *plain : {"photo.jpg", ".photo.jpg", "a..b"})
            QVERIFY(FileNames::isPlainComponent(plain));
        for (const QString &unsafe : QStringList{"", ".", "..", "../photo.jpg", QStringLiteral("a") + QChar(0) + ".jpg"})
            QVERIFY2(!FileNames::isPlainComponent(unsafe), qPrintable(unsafe));

        // Each thread sets up its own collator from the default locale at first use; in the C locale, which by
        // itself would compare code points, the order is still the usual one.
        QStringList expected;
        for (int i = 0; i < 200; ++i)
            expected.append((i % 2 ? QStringLiteral("a Trip ") : QStringLiteral("A Trip ")) + QString::number(i));
        const QLocale previous;
        QLocale::setDefault(QLocale::c());
        QList<QStringList> results(4, QStringList(expected.crbegin(), expected.crend()));
        results.append(QStringList{"trip 10", "Trip 2", "Album", "trip", "Trip", "album 1", "Trip 1"});
        {
            const auto less = [](const auto &a, const auto &b) { return FileNames::localizedStandardCompare(a, b) < 0; };
            std::vector<std::jthread> threads;
            for (QStringList &list : results)
                threads.emplace_back([&list, &less] { std::stable_sort(list.begin(), list.end(), less); });
        }
        QLocale::setDefault(previous);
        QCOMPARE(results.takeLast(), QStringList({"Album", "album 1", "Trip", "trip", "Trip 1", "Trip 2", "trip 10"}));
        QCOMPARE(results, QList<QStringList>(4, expected));
        // Always -1, 0 or 1; names equal but for case still compare unequal, consistently so.
        QCOMPARE(FileNames::localizedStandardCompare("Trip 10", "Trip 2"), 1);
        QCOMPARE(FileNames::localizedStandardCompare("Trip", "trip"), -1);
        QCOMPARE(FileNames::localizedStandardCompare("trip", "Trip"), 1);
        QCOMPARE(FileNames::localizedStandardCompare("Trip", "Trip"), 0);
    }

};

QTEST_GUILESS_MAIN(TestFileNames)
#include "tst_filenames.moc"
