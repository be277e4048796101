#pragma once

#include "app/controller/DesktopWindowController.h"
#include "platform/fake/FakePlatform.h"
#include "support/Sandbox.h"

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
    bool isDir(const QString &relative) const;
    FolderLibraryStore store() const;
    Sandbox &sandbox() { return m_sandbox; }
    // The model of the collage of that name as the library folder holds it (empty if none).
    CollageModel onDisk(const QString &name) const;

    // Two side-by-side screens: "LEFT" 1920 × 1080 (primary) and "RIGHT" 1280 × 1024.
    void useTwoScreens();
    // Writes collages named names (each with photoCounts[i] photos, default none) to the
    // library folder, for show() to load.
    void writeLibrary(const QStringList &names, const QList<int> &photoCounts = {});
    // Sets the screens and waits for the change to be announced.
    bool changeScreens(const ScreenList &list);

    // A controller on root(); show() has been called when shown is true.
    DesktopWindowController &controller(bool shown = true);
    // writeLibrary(names, photoCounts), then controller().
    DesktopWindowController &controllerWith(const QStringList &names, const QList<int> &photoCounts = {});
    void destroyController();
    const ScreenInfo &screenAt(int index) const;

private:
    Sandbox m_sandbox;
    FakePlatform *m_platform = nullptr;
    std::unique_ptr<DesktopWindowController> m_controller;
};

// A model holding the photos with the given file names, each at its own place.
CollageModel modelWithPhotos(const QStringList &fileNames);
// The model with its first photo moved dx to the right.
CollageModel nudged(const CollageModel &model, double dx);
// "C00", "C01", …: enough collages that a library write takes a while.
QStringList manyNames(int count);
