#include "ctllog.h"

#include "app/debug.h"

#include <string>

CtlLogFile::~CtlLogFile()
{
    if (m_file.IsOpen())
        SetDebugTextHook({});
}

bool CtlLogFile::Open(const QString &path, QString &error)
{
    // The same hold the wizard takes on its log: two copies never write
    // into one file.
    if (!m_file.Open(path, ExclusiveFile::Mode::OpenAlways) || !m_file.SeekToEnd()) {
        error = m_file.HeldElsewhere()
                    ? QStringLiteral("the log file %1 is in use by another running copy").arg(path)
                    : QStringLiteral("cannot open the log file %1: %2").arg(path, m_file.ErrorText());
        m_file.Close();
        return false;
    }
    const auto write = [this](const std::string &text) { m_file.Write(text.data(), text.size()); };
    write("\r\n");
    write(CDebugLog::FormatLine(CDebugLog::Now(), "== START LOG =="));
    SetDebugTextHook([write](const char *text) { write(CDebugLog::FormatLine(CDebugLog::Now(), text)); });
    return true;
}
