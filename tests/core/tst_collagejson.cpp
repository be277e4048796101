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

const QJsonObject itemObject = QJsonDocument::fromJson(kItem).object();

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
    void itemDecoding()
    {
        QJsonObject withNulls = itemObject;
        withNulls.insert(QLatin1String("caption"), QJsonValue::Null);
        withNulls.insert(QLatin1String("flipH"), QJsonValue::Null);
        withNulls.insert(QLatin1String("unknownKey"), QJsonArray{1, 2});
        for (const QJsonObject &object : {itemObject, withNulls}) {
            const Expected<PhotoItem> item = decodePhotoItem(object);
            QVERIFY2(item.ok(), qPrintable(item ? QString() : item.error().message));
            QCOMPARE(uuidText(item->id), QStringLiteral("6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4B"));
            QCOMPARE(*item, PhotoItem(item->id, QStringLiteral("a.jpg"), {10.5, -3}, {200, 150}, 0.25,
                                      PhotoItem::fullCrop(), 7));
        }
        QCOMPARE(photoItemFromBytes(kItem).value(), decodePhotoItem(itemObject).value());
        QVERIFY(parseUuid(QStringLiteral("6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4B"))
                && parseUuid(QStringLiteral("00000000-0000-0000-0000-000000000000")));

        // A missing key, or a value of the wrong kind or range, fails the item.
        QList<std::pair<QString, QJsonValue>> cases;
        for (const char *key : {"id", "imageFileName", "center", "size", "rotation", "cropRect", "zIndex"})
            cases.append({QString::fromLatin1(key), QJsonValue(QJsonValue::Undefined)}); // removes the key
        cases += {{"id", QStringLiteral("{6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b}")},
                  {"id", QStringLiteral("6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4g")},
                  {"id", QStringLiteral("6f1c2a3b_4d5e-4f60-8a7b-9c0d1e2f3a4b")},
                  {"imageFileName", 1}, {"center", QJsonArray{1}}, {"center", QJsonArray{QStringLiteral("1"), 2}},
                  {"cropRect", QJsonArray{QJsonArray{0, 0}, QJsonArray{1, 1}, QJsonArray{1, 1}}},
                  {"zIndex", 1.5}, {"zIndex", 9223372036854775808.0}, {"zIndex", true},
                  {"caption", 3}, {"flipV", 0}};
        for (const auto &[key, value] : std::as_const(cases)) {
            QJsonObject object = itemObject;
            object.insert(key, value);
            QVERIFY2(!decodePhotoItem(object).ok(), qPrintable(key + ' ' + QJsonDocument(object).toJson()));
        }
    }

    void documents()
    {
        PhotoItem a = sample();
        a.zIndex = std::numeric_limits<qint64>::max(); // exact over all 64 bits, past a double's 53
        PhotoItem b = ModelFactory::item(QStringLiteral("b.png"), {0.1, 1e-7}, {1, 3});
        b.caption = QString(); // present but empty
        b.rotation = -3.141592653589793;
        b.center = QPointF(1.0, 123456789.123456789);
        b.zIndex = std::numeric_limits<qint64>::min();
        PhotoItem whole = sample(); // whole-valued doubles read back the same
        whole.center = QPointF(1.0, -0.0);
        whole.size = QSizeF(4096.0, 1e21);
        whole.zIndex = 9007199254740993;
        const CollageModel model({a, b, whole});
        QCOMPARE(modelFromBytes(modelToBytes(model).value()).value(), model);

        const QJsonObject encodedB = encode(b).value();
        QCOMPARE(encodedB.value(QLatin1String("id")).toString(), uuidText(b.id));
        QVERIFY(encodedB.contains(QLatin1String("caption")) && encodedB.contains(QLatin1String("flipH")));
        QVERIFY(!encode(ModelFactory::item()).value().contains(QLatin1String("caption")));

        const Expected<QByteArray> layout = layoutToBytes(model.items());
        QVERIFY(layout->contains("\n    ")); // pretty-printed
        QCOMPARE(layoutFromBytes(layout.value()).value(), model.items());

        // Numbers that are not finite fail the encoding.
        const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
        PhotoItem items[4] = {sample(), sample(), sample(), sample()};
        items[0].center.setX(nan);
        items[1].size.setHeight(inf);
        items[2].rotation = nan;
        items[3].cropRect.setWidth(inf);
        for (const PhotoItem &item : items) {
            QVERIFY(!encode(item).ok());
            QVERIFY(!modelToBytes(CollageModel({ModelFactory::item(), item})).ok());
            QVERIFY(!libraryToBytes(Library::single(CollageModel({item}), QStringLiteral("x"))).ok());
        }

        // A model and a layout require their key.
        QVERIFY(!modelFromBytes(R"({"photos":[]})").ok());
        QVERIFY(!layoutFromBytes(R"({"items":[]})").ok());
        QVERIFY(!layoutFromBytes("[]").ok());
        QVERIFY(!layoutFromBytes("").ok());
        QVERIFY(layoutFromBytes(R"({"photos":[], "other": 1})").value().isEmpty());
        // One bad item fails the whole document.
        QVERIFY(!layoutFromBytes("{\"photos\":[" + QByteArray(kItem) + ",{\"id\":1}]}").ok());
        // A library decodes exactly as read.
        const QByteArray id = R"("6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b")";
        QVERIFY(libraryFromBytes(R"({"collages":[],"activeID":)" + id + "}").value().collages().isEmpty());
        const Library dangling = Library::decoded({ModelFactory::collage(QStringLiteral("Trip"), {sample()}),
                                                   ModelFactory::collage(QStringLiteral("Trip"))},
                                                  QUuid::createUuid());
        const Expected<Library> back = libraryFromBytes(libraryToBytes(dangling).value());
        QCOMPARE(back.value(), dangling);
        QCOMPARE(back->active().id, dangling.collages().first().id);
        QVERIFY(!libraryFromBytes(R"({"collages":[]})").ok());
        QVERIFY(!libraryFromBytes(R"({"collages":[{"id":)" + id + R"(,"name":"x"}],"activeID":)" + id + "}").ok());
    }

};

QTEST_GUILESS_MAIN(TestCollageJson)
#include "tst_collagejson.moc"
