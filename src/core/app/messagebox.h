#pragma once
// The message-box part of the UI services. The engine shows one message
// itself (no adapter could be opened), so the interface lives in the core
// library; the widget library installs the real QMessageBox implementation,
// the command-line client prints the text and tests record it.

#include <QString>

enum class MsgKind {
    Information, // an information icon and an OK button
    YesNo,       // a question with Yes and No buttons
};

// Results as the product's message boxes give them.
enum MsgResult : int {
    MSG_RESULT_NONE = 0, // the box could not be shown
    MSG_RESULT_OK = 1,
    MSG_RESULT_YES = 6,
    MSG_RESULT_NO = 7,
};

class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;
    // Shows `text` with `title` and returns the button pressed.
    virtual int ShowMessageBox(const QString &text, const QString &title, MsgKind kind) = 0;
};

// The installed service; nullptr until one is installed (then every box
// returns MSG_RESULT_NONE). The caller keeps ownership.
MessageBoxService *CurrentMessageBoxService();
void SetMessageBoxService(MessageBoxService *service);
