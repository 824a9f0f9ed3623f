#include "core/logcapture.h"

#include "app/debug.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex g_lock;
std::vector<std::string> g_lines;

} // namespace

LogCapture::LogCapture()
{
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_lines.clear();
    }
    SetDebugTextHook([](const char *text) {
        std::lock_guard<std::mutex> guard(g_lock);
        g_lines.emplace_back(text ? text : "");
    });
}

LogCapture::~LogCapture()
{
    SetDebugTextHook({});
}

void LogCapture::Clear()
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_lines.clear();
}

std::vector<std::string> LogCapture::Lines() const
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_lines;
}

bool LogCapture::Contains(const std::string &line) const
{
    return Count(line) > 0;
}

int LogCapture::Count(const std::string &line) const
{
    const std::vector<std::string> lines = Lines();
    return int(std::count(lines.begin(), lines.end(), line));
}
