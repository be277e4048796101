#include "core/CollageJson.h"
#include "support/ModelFactory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <limits>

using namespace CollageJson;

namespace {

const char *kItem = R"({"id":"6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b","imageFileName":"a.jpg",
    "center":[10.5,-3],"size":[200,150],"rotation":0.25,"cropRect":[[0,0],[1,1]],"zIndex":7})";

QJsonObject itemObject()
{
    return QJsonDocument::fromJson(kItem).object();
}

Expected<PhotoItem> decodeWith(const char *key, const QJsonValue &value)
{
    QJsonObject object = itemObject();
    if (value.isUndefined())
        object.remove(QLatin1String(key));
    else
        object.insert(QLatin1String(key), value);
    return decodePhotoItem(object);
}

PhotoItem sample()
{
    PhotoItem item = ModelFactory::item(QStringLiteral("Holiday.jpg"), {10.5, -3}, {200, 150}, 0.1);
    item.cropRect = QRectF(0.25, 0.125, 0.5, 0.1);
    item.zIndex = -12;
    item.caption = QStringLiteral("März 2024 · Zürich");
    item.flipV = true;
    return item;
}

} // namespace

class TestCollageJson : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Absent and null optionals read as defaults; unknown keys are ignored.
    void itemDecodesWithDefaults()
    {
        QJsonObject withNulls = itemObject();
        withNulls.insert(QLatin1String("caption"), QJsonValue::Null);
        withNulls.insert(QLatin1String("flipH"), QJsonValue::Null);
        withNulls.insert(QLatin1String("unknownKey"), QJsonArray{1, 2});
        for (const QJsonObject &object : {itemObject(), withNulls}) {
            const Expected<PhotoItem> item = decodePhotoItem(object);
            QVERIFY2(item.ok(), qPrintable(item ? QString() : item.error().message));
            QCOMPARE(item->center, QPointF(10.5, -3));
            QCOMPARE(item->cropRect, PhotoItem::fullCrop());
            QCOMPARE(item->zIndex, 7);
            QVERIFY(!item->caption);
            QVERIFY(!item->flipH && !item->flipV);
            QCOMPARE(uuidText(item->id), QStringLiteral("6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4B"));
        }
    }

    void invalidItemsFail_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value");
        const QJsonValue missing = QJsonValue(QJsonValue::Undefined);
        for (const char *key : {"id", "imageFileName", "center", "size", "rotation", "cropRect", "zIndex"})
            QTest::newRow(qPrintable(QStringLiteral("missing %1").arg(QLatin1String(key)))) << QString::fromLatin1(key) << missing;
        QTest::newRow("braced uuid") << "id" << QJsonValue(QStringLiteral("{6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b}"));
        QTest::newRow("uuid without hyphens") << "id" << QJsonValue(QStringLiteral("6f1c2a3b4d5e4f608a7b9c0d1e2f3a4b"));
        QTest::newRow("uuid with non-hex") << "id" << QJsonValue(QStringLiteral("6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4g"));
        QTest::newRow("uuid as number") << "id" << QJsonValue(5);
        QTest::newRow("file name number") << "imageFileName" << QJsonValue(1);
        QTest::newRow("center one number") << "center" << QJsonValue(QJsonArray{1});
        QTest::newRow("center strings") << "center" << QJsonValue(QJsonArray{QStringLiteral("1"), 2});
        QTest::newRow("center object") << "center" << QJsonValue(QJsonObject{{QStringLiteral("x"), 1}});
        QTest::newRow("rotation string") << "rotation" << QJsonValue(QStringLiteral("0"));
        QTest::newRow("cropRect flat") << "cropRect" << QJsonValue(QJsonArray{0, 0, 1, 1});
        QTest::newRow("zIndex fraction") << "zIndex" << QJsonValue(1.5);
        QTest::newRow("zIndex out of range") << "zIndex" << QJsonValue(1e19);
        QTest::newRow("zIndex bool") << "zIndex" << QJsonValue(true);
        QTest::newRow("caption number") << "caption" << QJsonValue(3);
        QTest::newRow("flipH string") << "flipH" << QJsonValue(QStringLiteral("true"));
        QTest::newRow("flipV number") << "flipV" << QJsonValue(0);
    }

    void invalidItemsFail()
    {
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        QVERIFY(!decodeWith(key.toLatin1().constData(), value).ok());
    }

    void zIndexIsExactOver64Bits()
    {
        for (qint64 z : {std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min(), qint64(9007199254740993)}) {
            PhotoItem item = sample();
            item.zIndex = z;
            const Expected<QByteArray> bytes = modelToBytes(CollageModel({item}));
            QVERIFY(bytes.ok());
            const Expected<CollageModel> back = modelFromBytes(bytes.value());
            QVERIFY(back.ok());
            QCOMPARE(back->items().first().zIndex, z);
        }
        QVERIFY(!photoItemFromBytes(QByteArray(kItem).replace("\"zIndex\":7", "\"zIndex\":9223372036854775808")).ok());
        QVERIFY(!photoItemFromBytes(QByteArray(kItem).replace("\"zIndex\":7", "\"zIndex\":7.25")).ok());
    }

    void uuidReadInEitherCaseWrittenUpper()
    {
        QVERIFY(parseUuid(QStringLiteral("6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4B")).has_value());
        QVERIFY(parseUuid(QStringLiteral("00000000-0000-0000-0000-000000000000")).has_value());
        QVERIFY(!parseUuid(QStringLiteral("6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4")).has_value());
        QVERIFY(!parseUuid(QStringLiteral("6F1C2A3B_4D5E-4F60-8A7B-9C0D1E2F3A4B")).has_value());
        const QJsonObject object = encode(sample()).value();
        const QString text = object.value(QLatin1String("id")).toString();
        QCOMPARE(text, text.toUpper());
        QCOMPARE(text.size(), 36);
    }

    void roundTripsKeepEveryValue()
    {
        PhotoItem a = sample();
        PhotoItem b = ModelFactory::item(QStringLiteral("b.png"), {0.1, 1e-7}, {1, 3});
        b.caption = QString(); // present but empty
        b.rotation = -3.141592653589793;
        b.center = QPointF(1.0, 123456789.123456789);
        PhotoItem whole = sample(); // whole-valued doubles read back the same
        whole.center = QPointF(1.0, -0.0);
        whole.size = QSizeF(4096.0, 1e21);
        const CollageModel model({a, b, whole});
        const Expected<QByteArray> bytes = modelToBytes(model);
        QVERIFY(bytes.ok());
        QCOMPARE(modelFromBytes(bytes.value()).value(), model);

        const QJsonObject encodedB = encode(b).value();
        QVERIFY(encodedB.contains(QLatin1String("caption")));
        QVERIFY(!encode(ModelFactory::item()).value().contains(QLatin1String("caption")));
        QVERIFY(encodedB.contains(QLatin1String("flipH")));

        const Expected<QByteArray> layout = layoutToBytes(model.items());
        QVERIFY(layout->contains("\n    ")); // pretty-printed
        QVERIFY(layout->indexOf("\"photos\"") >= 0);
        QCOMPARE(layoutFromBytes(layout.value()).value(), model.items());
    }

    void nonFiniteNumbersFailTheEncoding_data()
    {
        QTest::addColumn<int>("field");
        for (int i = 0; i < 4; ++i)
            QTest::newRow(qPrintable(QString::number(i))) << i;
    }

    void nonFiniteNumbersFailTheEncoding()
    {
        QFETCH(int, field);
        PhotoItem item = sample();
        const double bad = field % 2 ? std::numeric_limits<double>::infinity() : std::nan("");
        switch (field) {
        case 0: item.center.setX(bad); break;
        case 1: item.size.setHeight(bad); break;
        case 2: item.rotation = bad; break;
        case 3: item.cropRect.setWidth(bad); break;
        }
        QVERIFY(!encode(item).ok());
        QVERIFY(!modelToBytes(CollageModel({ModelFactory::item(), item})).ok());
        Library library = Library::single(CollageModel({item}), QStringLiteral("x"));
        QVERIFY(!libraryToBytes(library).ok());
    }

    void modelAndLayoutRequireTheirKey()
    {
        QVERIFY(!modelFromBytes("{}").ok());
        QVERIFY(!modelFromBytes(R"({"photos":[]})").ok());
        QVERIFY(!layoutFromBytes(R"({"items":[]})").ok());
        QVERIFY(!layoutFromBytes("[]").ok());
        QVERIFY(!layoutFromBytes("").ok());
        QVERIFY(!layoutFromBytes(R"({"photos":{}})").ok());
        QVERIFY(layoutFromBytes(R"({"photos":[], "other": 1})").value().isEmpty());
        // One bad item fails the whole document.
        const QByteArray bad = "{\"photos\":[" + QByteArray(kItem) + ",{\"id\":1}]}";
        QVERIFY(!layoutFromBytes(bad).ok());
    }

    void libraryDecodesExactlyAsRead()
    {
        const QByteArray empty = R"({"collages":[],"activeID":"6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b"})";
        const Expected<Library> library = libraryFromBytes(empty);
        QVERIFY(library.ok());
        QVERIFY(library->collages().isEmpty());

        const Library original = Library({Collage{QUuid::createUuid(), QStringLiteral("Trip"), CollageModel({sample()})},
                                          Collage{QUuid::createUuid(), QStringLiteral("Trip"), CollageModel()}},
                                         QUuid());
        Library dangling = original;
        dangling.setActiveID(QUuid::createUuid());
        const Expected<Library> back = libraryFromBytes(libraryToBytes(dangling).value());
        QVERIFY(back.ok());
        QCOMPARE(back.value(), dangling);
        QCOMPARE(back->active().id, original.collages().first().id);

        QVERIFY(!libraryFromBytes(R"({"collages":[]})").ok());
        QVERIFY(!libraryFromBytes(R"({"collages":[{"id":"6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b","name":"x"}],"activeID":"6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b"})").ok());
    }
};

QTEST_GUILESS_MAIN(TestCollageJson)
#include "tst_collagejson.moc"
