#include "support/XvfbServer.h"

XvfbServer::~XvfbServer()
{
    m_process.terminate();
    m_process.waitForFinished();
}

QString XvfbServer::start(const QString &screen)
{
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                             QStringLiteral("0"), screen, QStringLiteral("-noreset"),
                                             QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!m_process.waitForReadyRead(10000))
        return QStringLiteral("Xvfb did not start");
    qputenv("DISPLAY", ":" + m_process.readLine().trimmed());
    return {};
}
