#pragma once
// The program's own messages. The program is single-threaded and
// message-driven: pages post commands, the engine posts answers and the
// host passes them on synchronously to the page that is current when they
// arrive. All of them travel as one registered QEvent type.

#include <QEvent>
#include <cstdint>

class QObject;

// Message ids, numbered as in the product's own window messages.
enum AppMessageId : int {
    WM_APP = 0x8000,
    UM_SOCKET_NOTIFY = WM_APP + 1,
    UM_WIZARD_COMMAND = WM_APP + 100,
    UM_SOCKET_DATA = WM_APP + 101,
    UM_UDP_REPLY = WM_APP + 102,
    UM_UDP_TIMEOUT = WM_APP + 103,
    UM_UDP_EVENT = WM_APP + 104,
};

// wParam of UM_WIZARD_COMMAND.
enum WizardCommand : int {
    WIZARD_EXIT = 1,
    WIZARD_NEXT = 2,
    WIZARD_BACK = 3,
};

class AppMessage : public QEvent
{
public:
    AppMessage(int id, intptr_t wParam, intptr_t lParam);

    // The registered event type shared by every AppMessage.
    static QEvent::Type eventType();

    int id;
    intptr_t wParam;
    intptr_t lParam;
};

// Asynchronous: handled after the current handler returns. A null target
// drops the message.
void PostAppMessage(QObject *target, int id, intptr_t wParam = 0, intptr_t lParam = 0);

// Synchronous: handled before the call returns; gives the handler's result
// (0 when the target did not set one or is null).
intptr_t SendAppMessage(QObject *target, int id, intptr_t wParam = 0, intptr_t lParam = 0);

// A handler sets the result that SendAppMessage returns.
void SetAppMessageResult(AppMessage *message, intptr_t result);

// "The application's main window": the autorun window in the product, any
// QObject in tests and command-line tools. Engine and pages post to it.
QObject *MainWindow();
void SetMainWindow(QObject *window);
