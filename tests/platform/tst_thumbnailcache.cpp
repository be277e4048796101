#include "platform/thumbnails/ThumbnailCache.h"

#include <QtTest>

#include <utime.h>

// Thumbnails shared with the file manager through the desktop's cache.
class TestThumbnailCache : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTripAndStaleness()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath(QStringLiteral("my photo #1.jpg"));
        QImage source(1200, 800, QImage::Format_RGB32);
        source.fill(Qt::darkCyan);
        QVERIFY(source.save(photo, "JPEG"));
        const ThumbnailCache cache(dir.filePath(QStringLiteral("thumbnails")));

        QVERIFY(cache.load(photo, ThumbnailCache::Flavor::normal).isNull());
        QVERIFY(cache.save(photo, ThumbnailCache::Flavor::large, source));
        // Named and labelled as the thumbnail standard says, readable by anyone who follows it.
        const QByteArray uri = "file://" + QFile::encodeName(dir.path()) + "/my%20photo%20%231.jpg";
        QCOMPARE(ThumbnailCache::uriOf(photo), uri);
        const QString stored = dir.filePath(QStringLiteral("thumbnails/large/%1.png")
                                                .arg(QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex())));
        QCOMPARE(cache.thumbnailPath(photo, ThumbnailCache::Flavor::large), stored);
        const QImage written(stored);
        QCOMPARE(written.text(QStringLiteral("Thumb::URI")).toUtf8(), uri);
        QCOMPARE(written.size(), QSize(256, 170));
        QCOMPARE(QFile(stored).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), QFileDevice::Permissions());

        QCOMPARE(cache.load(photo, ThumbnailCache::Flavor::large).size(), QSize(256, 170));
        QVERIFY(cache.load(photo, ThumbnailCache::Flavor::normal).isNull());

        // The photo changes: its old thumbnail no longer counts.
        struct utimbuf later{1700000000, 1700000000};
        QCOMPARE(utime(QFile::encodeName(photo).constData(), &later), 0);
        QVERIFY(cache.load(photo, ThumbnailCache::Flavor::large).isNull());
        QVERIFY(cache.save(dir.filePath(QStringLiteral("other.jpg")), ThumbnailCache::Flavor::large, source) == false);
    }
};

QTEST_GUILESS_MAIN(TestThumbnailCache)
#include "tst_thumbnailcache.moc"
