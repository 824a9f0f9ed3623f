#include "appmessagerecorder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

std::ostream &operator<<(std::ostream &out, const RecordedMessage &m)
{
    return out << "{0x" << std::hex << m.id << std::dec << ", " << m.wParam << ", " << m.lParam << "}";
}

bool AppMessageRecorder::event(QEvent *event)
{
    if (event->type() != AppMessage::eventType())
        return QObject::event(event);
    const auto *m = static_cast<AppMessage *>(event);
    messages.push_back({m->id, m->wParam, m->lParam});
    return true;
}

RecordedMessage AppMessageRecorder::WaitForAnswer(intptr_t kind, int timeoutMs, size_t &seen)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        for (size_t i = seen; i < messages.size(); ++i) {
            const RecordedMessage m = messages[i];
            if ((m.id == UM_UDP_REPLY || m.id == UM_UDP_TIMEOUT) && m.wParam == kind) {
                seen = i + 1;
                return m;
            }
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    }
    return {0, kind, -1};
}
