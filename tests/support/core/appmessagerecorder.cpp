#include "appmessagerecorder.h"

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
