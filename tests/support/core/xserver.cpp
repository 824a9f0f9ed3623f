#include "core/xserver.h"

#include <QStandardPaths>

PrivateXServer::PrivateXServer()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        m_unavailable = QStringLiteral("Xvfb is not installed (scripts/install-deps)");
        return;
    }
    // The server writes its display number to the descriptor once it
    // accepts connections.
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("1024x768x24")});
    QByteArray number;
    while (!number.contains('\n') && m_server.waitForReadyRead(10000))
        number += m_server.readAllStandardOutput();
    if (!number.contains('\n')) {
        m_unavailable =
            QStringLiteral("Xvfb did not start: ") + QString::fromLocal8Bit(m_server.readAllStandardError());
        return;
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
}

PrivateXServer::~PrivateXServer()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(5000)) {
        m_server.kill();
        m_server.waitForFinished(2000);
    }
}
