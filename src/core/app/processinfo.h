#pragma once
// What the running process is, as each operating system tells it: the path
// of its executable (also before the application object exists), the id of
// the calling thread as the log prints it, and the debugger's output
// channel.

#include <QByteArray>
#include <QString>

// The full path of the running executable, in the toolkit's form (forward
// slashes); empty when the system cannot tell.
QString RunningExecutablePath();

// The calling thread's id: gettid() on Linux, GetCurrentThreadId() on Windows.
unsigned long CurrentThreadId();

// Sends one line to the developer's debugger output: the standard error
// stream on Linux, OutputDebugString on Windows.
void WriteDebuggerOutput(const QByteArray &line);
