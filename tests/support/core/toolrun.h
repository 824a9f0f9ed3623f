#pragma once
// Runs one of the project's programs as a child process and keeps what it
// said, for the end-to-end tests: its exit code, standard output and
// standard error, printable in a test failure.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <ostream>

struct ToolRun
{
    int exitCode = -1; // -1: crashed or did not finish in time
    QString out;       // with mergedOutput, standard error too
    QString err;
};

std::ostream &operator<<(std::ostream &os, const ToolRun &run);

struct ToolStart
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QByteArray input{}; // standard input, closed after it
    int timeoutMs = 60000;
    bool mergedOutput = false; // both streams in `out`, in the order written
};

ToolRun RunTool(const QString &program, const QStringList &arguments, const ToolStart &start = {});
