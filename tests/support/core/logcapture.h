#pragma once
// Records the log lines written while a LogCapture lives, so tests can
// check the exact texts the program logs. Lines are kept without the time
// stamp and thread id the log file adds (through the log's text hook).
// Captures do not nest.

#include <string>
#include <vector>

class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    std::vector<std::string> Lines() const;
    void Clear();
    // Whether some line equals `line`.
    bool Contains(const std::string &line) const;
    // How many lines equal `line`.
    int Count(const std::string &line) const;
};
