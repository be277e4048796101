#include "app/canvas/CollageView.h"
#include "app/controller/DesktopWindowController.h"
#include "app/shell/AppIcons.h"
#include "app/shell/AppController.h"
#include "app/shell/BuildInfo.h"
#include "app/shell/SingleInstance.h"
#include "app/shell/TerminationSignals.h"
#include "core/Log.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSessionManager>
#include <QTimer>

namespace {

// Logs once how long the program took to its first painted desktop frame.
class FirstFrameProbe : public QObject {
public:
    FirstFrameProbe(QElapsedTimer since, QObject *parent) : QObject(parent), m_since(since) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_logged) {
            m_logged = true;
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                Log::app().info(QStringLiteral("first desktop frame %1 ms after start").arg(m_since.elapsed()));
                deleteLater();
            });
        }
        return false;
    }

private:
    QElapsedTimer m_since;
    bool m_logged = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    Platform::prepareProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veloran"));
    QApplication::setOrganizationName(QStringLiteral("Veloran"));
    QApplication::setApplicationVersion(QString::fromLatin1(BuildInfo::version));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(BuildInfo::desktopFileName));
    // The desktop windows come and go with the screens; none of them is the application.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Pins photo collages onto the desktop."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption editOption(QStringLiteral("edit"), QStringLiteral("Start in the editing mode."));
    parser.addOption(editOption);
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Ignored: opening anything shows the Collages window."),
                                 QStringLiteral("[files…]"));
    parser.process(app);

    // One program per user writes the library; a later start only brings the running one forward.
    SingleInstance instance;
    switch (instance.claim()) {
    case SingleInstance::Claim::AnotherRuns:
        Log::app().info(QStringLiteral("already running: asked it to show the Collages window"));
        return 0;
    case SingleInstance::Claim::Unavailable:
        // Without the lock a second copy could write the same library at the same time.
        Log::app().error(QStringLiteral("not starting: cannot make sure that no other Veloran runs (lock %1)")
                             .arg(instance.lockPath()));
        return 1;
    case SingleInstance::Claim::Primary:
        break;
    }
    QApplication::setWindowIcon(AppIcons::application());

    TerminationSignals signals_;
    DesktopWindowController controller;
    AppController shell(&controller);
    QObject::connect(&instance, &SingleInstance::activationRequested, &shell, &AppController::openRequested);

    // Every way out writes what is still waiting to be saved, through aboutToQuit.
    QObject::connect(&signals_, &TerminationSignals::received, &app, [](int number) {
        Log::app().info(QStringLiteral("signal %1: saving and quitting").arg(number));
        QCoreApplication::quit();
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&controller](QSessionManager &) { controller.flushSave(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&controller] { controller.flushSave(); });

    const bool startEditing = parser.isSet(editOption);
    QTimer::singleShot(0, &shell, [&shell, &controller, startEditing, sinceStart] {
        shell.start();
        if (startEditing && !controller.isEditing())
            controller.setEditing(true);
        // When the first canvas paints, for the start-up benchmark.
        if (!controller.views().isEmpty())
            controller.views().first()->viewport()->installEventFilter(new FirstFrameProbe(sinceStart, &shell));
    });

    return app.exec();
}
