#include "app/controller/DesktopWindowController.h"
#include "app/shell/TerminationSignals.h"
#include "core/Log.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QSessionManager>
#include <QTimer>

int main(int argc, char *argv[])
{
    Platform::prepareProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veloran"));
    QApplication::setOrganizationName(QStringLiteral("Veloran"));
    // The desktop windows come and go with the screens; none of them is the application.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Pins photo collages onto the desktop."));
    parser.addHelpOption();
    const QCommandLineOption editOption(QStringLiteral("edit"), QStringLiteral("Start in the editing mode."));
    parser.addOption(editOption);
    parser.process(app);

    TerminationSignals signals_;
    DesktopWindowController controller;

    // Every way out writes what is still waiting to be saved.
    QObject::connect(&signals_, &TerminationSignals::received, &app, [&controller](int number) {
        Log::app().info(QStringLiteral("signal %1: saving and quitting").arg(number));
        controller.flushSave();
        QCoreApplication::quit();
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&controller](QSessionManager &) { controller.flushSave(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&controller] { controller.flushSave(); });

    const bool startEditing = parser.isSet(editOption);
    QTimer::singleShot(0, &controller, [&controller, startEditing] {
        controller.show();
        if (startEditing)
            controller.setEditing(true);
    });

    return app.exec();
}
