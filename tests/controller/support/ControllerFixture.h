#pragma once

#include "app/controller/DesktopWindowController.h"
#include "platform/fake/FakePlatform.h"
#include "support/Sandbox.h"

#include <QFileInfo>
#include <QString>

#include <memory>

class FakeDesktopWindowing;
class FakeScreenService;

// A fake platform, a sandboxed home and a controller on a library folder of its own, for
// one test function. Screens default to the fake platform's single 1440 × 900 screen.
class ControllerFixture {
public:
    ControllerFixture();
    ~ControllerFixture();

    FakePlatform &platform() const { return *m_platform; }
    FakeScreenService &screens() const { return *m_platform->fakes().screens; }
    FakeDesktopWindowing &windowing() const { return *m_platform->fakes().windowing; }

    QString root() const { return m_sandbox.path(QStringLiteral("library")); }
    QString path(const QString &relative) const { return root() + u'/' + relative; } // in the library
    bool isDir(const QString &relative) const { return QFileInfo(path(relative)).isDir(); }
    FolderLibraryStore store() const { return FolderLibraryStore(root(), std::nullopt, std::nullopt); }
    Sandbox &sandbox() { return m_sandbox; }
    CollageModel onDisk(const QString &name) const; // as the library folder holds it; empty if none

    void useTwoScreens(); // side by side: "LEFT" 1920 × 1080 (primary) and "RIGHT" 1280 × 1024
    void writeLibrary(const QStringList &names, const QList<int> &photoCounts = {}); // photoCounts[i] each
    bool changeScreens(const ScreenList &list); // and waits for the change to be announced

    DesktopWindowController &controller(bool shown = true); // on root()
    DesktopWindowController &controllerWith(const QStringList &names, const QList<int> &photoCounts = {});
    void destroyController();
    const ScreenInfo &screenAt(int index) const { return m_controller->screens().at(index); }

private:
    Sandbox m_sandbox;
    FakePlatform *m_platform = nullptr;
    std::unique_ptr<DesktopWindowController> m_controller;
};

CollageModel modelWithPhotos(const QStringList &fileNames); // each photo at its own place
CollageModel nudged(const CollageModel &model, double dx); // its first photo moved dx to the right
QStringList manyNames(int count); // "C00", "C01", …: enough collages that a library write takes a while
