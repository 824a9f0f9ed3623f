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
    std::vector<RecordedMessage> messages;
};
