#pragma once

#include <QProcess>
#include <QString>

// An X server of the test's own (Xvfb picks a free display, so that parallel runs never
// meet). Declare it before the application, so that it stops after the application left it.
class XvfbServer {
public:
    ~XvfbServer();
    // Starts the server and points DISPLAY at it; what went wrong, else empty.
    QString start(const QString &screen);

private:
    QProcess m_process;
};
