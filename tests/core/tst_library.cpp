#include "core/Library.h"

#include <QTest>

namespace {
Collage collage(const QString &name)
{
    return Collage{QUuid::createUuid(), name, CollageModel()};
}
} // namespace

class TestLibrary : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void constructorSuppliesAndRepairs()
    {
        const Library empty({}, QUuid::createUuid());
        QCOMPARE(empty.collages().size(), 1);
        QCOMPARE(empty.active().name, QStringLiteral("My Collage"));
        QVERIFY(empty.active().model.isEmpty());
        QCOMPARE(empty.activeID(), empty.collages().first().id);

        const Collage a = collage(QStringLiteral("A")), b = collage(QStringLiteral("B"));
        QCOMPARE(Library({a, b}, QUuid::createUuid()).activeID(), a.id);
        QCOMPARE(Library({a, b}, b.id).activeID(), b.id);

        const Library one = Library::single(CollageModel(), QStringLiteral("Trip"));
        QCOMPARE(one.collages().size(), 1);
        QCOMPARE(one.active().name, QStringLiteral("Trip"));
    }

    // A decoded library with an unknown active id, or none at all, reads a fallback and
    // ignores every change to the active collage.
    void decodedLibrariesAreOnlyReadWithoutAnActiveCollage()
    {
        const Collage a = collage(QStringLiteral("A")), b = collage(QStringLiteral("B"));
        Library library = Library::decoded({a, b}, QUuid::createUuid());
        Library empty = Library::decoded({}, QUuid::createUuid());
        QCOMPARE(library.active().id, a.id);
        QVERIFY(empty.collages().isEmpty());
        QVERIFY(empty.active().model.isEmpty());
        const Library before = library;
        for (Library *l : {&library, &empty}) {
            l->updateActive(CollageModel({PhotoItem()}));
            l->renameActive(QStringLiteral("Z"));
            l->removeActive();
        }
        QCOMPARE(library, before);
        QVERIFY(empty.collages().isEmpty());
    }

    void removeActivePicksTheNeighbour()
    {
        const Collage a = collage(QStringLiteral("A")), b = collage(QStringLiteral("B")),
                      c = collage(QStringLiteral("C"));
        Library last({a, b, c}, c.id);
        last.removeActive();
        QCOMPARE(last.activeID(), b.id);
        QCOMPARE(last.collages().size(), 2);

        Library first({a, b, c}, a.id);
        first.removeActive();
        QCOMPARE(first.activeID(), b.id);
        QCOMPARE(first.collages().first().id, b.id);

        Library single({a}, a.id);
        single.removeActive();
        QCOMPARE(single.collages().size(), 1);
    }

    void addAndRename()
    {
        Library library({collage(QStringLiteral("A"))}, QUuid());
        const QUuid id = library.addCollage(QStringLiteral("A"));
        QCOMPARE(library.activeID(), id);
        QCOMPARE(library.collages().size(), 2);
        QCOMPARE(library.collages().last().name, QStringLiteral("A"));
        library.renameActive(QStringLiteral("  spaced "));
        QCOMPARE(library.collages().last().name, QStringLiteral("  spaced "));
        QCOMPARE(library.findNamed(QStringLiteral("A"))->id, library.collages().first().id);
    }

    void snapshotsAreIndependent()
    {
        Library library({collage(QStringLiteral("A"))}, QUuid());
        const Library snapshot = library;
        library.updateActive(CollageModel({PhotoItem()}));
        QVERIFY(snapshot.active().model.isEmpty());
        QCOMPARE(library.active().model.items().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestLibrary)
#include "tst_library.moc"
