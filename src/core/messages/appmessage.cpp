#include "messages/appmessage.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

QPointer<QObject> g_mainWindow;

// Result of the innermost SendAppMessage, set by the handler.
struct SendFrame {
    AppMessage *message;
    intptr_t result;
};
// Per thread: a send runs in the thread that calls it, and the engines of
// the command-line client's parallel sessions send in their own threads.
thread_local SendFrame *g_currentSend = nullptr;

} // namespace

AppMessage::AppMessage(int id, intptr_t wParam, intptr_t lParam)
    : QEvent(eventType()), id(id), wParam(wParam), lParam(lParam)
{
}

QEvent::Type AppMessage::eventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostAppMessage(QObject *target, int id, intptr_t wParam, intptr_t lParam)
{
    if (!target)
        return;
    QCoreApplication::postEvent(target, new AppMessage(id, wParam, lParam));
}

intptr_t SendAppMessage(QObject *target, int id, intptr_t wParam, intptr_t lParam)
{
    if (!target)
        return 0;
    AppMessage message(id, wParam, lParam);
    SendFrame frame{&message, 0};
    SendFrame *outer = g_currentSend;
    g_currentSend = &frame;
    QCoreApplication::sendEvent(target, &message);
    g_currentSend = outer;
    return frame.result;
}

void SetAppMessageResult(AppMessage *message, intptr_t result)
{
    if (g_currentSend && g_currentSend->message == message)
        g_currentSend->result = result;
}

QObject *MainWindow()
{
    return g_mainWindow.data();
}

void SetMainWindow(QObject *window)
{
    g_mainWindow = window;
}
