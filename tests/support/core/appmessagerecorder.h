#pragma once
// Stands in for the main window in engine tests: keeps every application
// message posted or sent to it, in order, as plain values that compare and
// print in test failures.

#include "messages/appmessage.h"

#include <QObject>
#include <cstdint>
#include <ostream>
#include <vector>

struct RecordedMessage
{
    int id;
    intptr_t wParam;
    intptr_t lParam;
    bool operator==(const RecordedMessage &) const = default;
};

std::ostream &operator<<(std::ostream &out, const RecordedMessage &m);

class AppMessageRecorder : public QObject
{
public:
    bool event(QEvent *event) override;

    // Runs the event loop until the engine answers request `kind` (a reply
    // or a time-out) after the first `seen` messages, and moves `seen` past
    // that answer; {0, kind, -1} when none came within `timeoutMs`.
    RecordedMessage WaitForAnswer(intptr_t kind, int timeoutMs, size_t &seen);

    std::vector<RecordedMessage> messages;
};
