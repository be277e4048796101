#include "controller/support/ControllerFixture.h"

#include "app/canvas/PhotoDecoder.h"
#include "core/CollageJson.h"
#include "platform/fake/FakeDesktopWindowing.h"
#include "platform/fake/FakeScreenService.h"
#include "platform/fake/MemoryPreferences.h"
#include "support/ModelFactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
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

FakeScreenService &ControllerFixture::screens() const
{
    return *m_platform->fakes().screens;
}

FakeDesktopWindowing &ControllerFixture::windowing() const
{
    return *m_platform->fakes().windowing;
}

MemoryPreferences &ControllerFixture::preferences() const
{
    return *m_platform->fakes().preferences;
}

FolderLibraryStore ControllerFixture::store() const
{
    return FolderLibraryStore(root(), std::nullopt, std::nullopt);
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

void ControllerFixture::destroyController()
{
    m_controller.reset();
    // Windows are deleted later; let them go before the platform they were prepared by.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

const ScreenInfo &ControllerFixture::screenAt(int index) const
{
    return m_controller->screens().at(index);
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
