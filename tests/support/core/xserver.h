#pragma once
// A private X server for tests that need a real display: Xvfb on the first
// free display number, without TCP, stopped with the object. Nothing else
// runs on it (no window manager).

#include <QProcess>
#include <QString>

class PrivateXServer
{
public:
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer &) = delete;
    PrivateXServer &operator=(const PrivateXServer &) = delete;

    // ":N"; empty when the server could not be started (see Unavailable).
    const QString &Display() const { return m_display; }
    // Why there is no server; empty when there is one.
    const QString &Unavailable() const { return m_unavailable; }

private:
    QProcess m_server;
    QString m_display;
    QString m_unavailable;
};
