#include "controller/support/ControllerFixture.h"

#include "app/canvas/PhotoDecoder.h"
#include "core/CollageJson.h"
#include "platform/fake/FakeScreenService.h"
#include "support/ModelFactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QSignalSpy>
#include <QThreadPool>

ControllerFixture::ControllerFixture()
{
    auto platform = std::make_unique<FakePlatform>();
    m_platform = platform.get();
    Platform::install(std::move(platform));
}

ControllerFixture::~ControllerFixture()
{
    destroyController();
    // Decoding workers reach the platform: none may run once it is gone.
    PhotoDecoder::pool()->waitForDone();
    Platform::install(nullptr);
}

CollageModel ControllerFixture::onDisk(const QString &name) const
{
    const Library library = store().load();
    const Collage *collage = library.findNamed(name);
    return collage ? collage->model : CollageModel();
}

bool ControllerFixture::changeScreens(const ScreenList &list)
{
    QSignalSpy changed(&screens(), &ScreenService::changed);
    screens().setScreens(list);
    return changed.wait(2000);
}

void ControllerFixture::useTwoScreens()
{
    ScreenInfo left = FakeScreenService::makeScreen(QStringLiteral("LEFT"), QRect(0, 0, 1920, 1080));
    left.primary = true;
    ScreenInfo right = FakeScreenService::makeScreen(QStringLiteral("RIGHT"), QRect(1920, 0, 1280, 1024));
    screens().setScreens({left, right});
}

void ControllerFixture::writeLibrary(const QStringList &names, const QList<int> &photoCounts)
{
    for (int i = 0; i < names.size(); ++i) {
        QStringList files;
        for (int p = 0; p < photoCounts.value(i, 0); ++p)
            files.append(QStringLiteral("p%1.jpg").arg(p));
        const Expected<QByteArray> bytes =
            CollageJson::layoutToBytes(modelWithPhotos(files).items(), CollageJson::Format::Pretty);
        TestFiles::write(QDir(root()).filePath(names[i] + QStringLiteral("/collage.json")), *bytes);
    }
}

DesktopWindowController &ControllerFixture::controller(bool shown)
{
    if (!m_controller) {
        m_controller = std::make_unique<DesktopWindowController>(store());
        if (shown)
            m_controller->show();
    }
    return *m_controller;
}

DesktopWindowController &ControllerFixture::controllerWith(const QStringList &names, const QList<int> &photoCounts)
{
    writeLibrary(names, photoCounts);
    return controller();
}

void ControllerFixture::destroyController()
{
    m_controller.reset();
    // Windows are deleted later; let them go before the platform they were prepared by.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

CollageModel modelWithPhotos(const QStringList &fileNames)
{
    CollageModel model;
    int i = 0;
    for (const QString &name : fileNames) {
        model.add(ModelFactory::item(name, QPointF(200 + 150 * i, 300 + 40 * i), QSizeF(200, 150)));
        ++i;
    }
    return model;
}

CollageModel nudged(const CollageModel &model, double dx)
{
    CollageModel copy = model;
    copy.update(copy.items().first().id, [dx](PhotoItem &item) { item.center.rx() += dx; });
    return copy;
}

QStringList manyNames(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')));
    return names;
}
