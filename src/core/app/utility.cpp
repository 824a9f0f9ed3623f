#include "app/utility.h"

#include "app/inifile.h"
#include "app/timing.h"

#include <QEventLoop>
#include <QTimer>
#include <climits>

bool IsHexText(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f')))
            return false;
    }
    return true;
}

QString &PadCaption(QString &text)
{
    if (text.isEmpty())
        return text;
    if (!text.startsWith(u' '))
        text.prepend(u' ');
    if (!text.endsWith(u' '))
        text.append(u' ');
    return text;
}

int ParseIntList(const QString &text, int *values, int capacity)
{
    const auto isSep = [](QChar c) { return c.unicode() >= 1 && c.unicode() <= ' '; };
    int found = 0;
    const auto take = [&](const QString &item) {
        int v = 0;
        if (!IniFile::ParseInteger(item, v))
            return;
        if (found < capacity && values)
            values[found] = v;
        ++found;
    };

    const qsizetype n = text.size();
    qsizetype p = 0;
    while (p < n && isSep(text[p]))
        ++p;
    while (p < n) {
        QString item;
        if (text[p] == u'"') {
            // A quoted item; a doubled quote stands for one quote.
            ++p;
            while (p < n) {
                if (text[p] == u'"') {
                    if (p + 1 < n && text[p + 1] == u'"') {
                        item.append(u'"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item.append(text[p++]);
            }
        } else {
            const qsizetype start = p;
            while (p < n && !isSep(text[p]) && text[p] != u',')
                ++p;
            item = text.mid(start, p - start);
        }
        take(item);
        while (p < n && isSep(text[p]))
            ++p;
        if (p < n && text[p] == u',') {
            ++p;
            while (p < n && isSep(text[p]))
                ++p;
        }
    }
    return found;
}

bool ProcessDelay(unsigned ms)
{
    if (ms == 0)
        return true;
    const int wait = Timing::Scaled(ms > INT_MAX ? INT_MAX : static_cast<int>(ms));
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(wait);
    loop.exec();
    return true;
}

QString IpToText(uint32_t hostOrder)
{
    return QString::asprintf("%u.%u.%u.%u", (hostOrder >> 24) & 0xFF, (hostOrder >> 16) & 0xFF,
                             (hostOrder >> 8) & 0xFF, hostOrder & 0xFF);
}

bool ParseIpv4(const QString &text, uint32_t &hostOrder)
{
    const QString t = text.trimmed();
    uint32_t result = 0;
    int parts = 0;
    qsizetype p = 0;
    while (parts < 4) {
        int digits = 0;
        unsigned v = 0;
        while (p < t.size() && t[p] >= u'0' && t[p] <= u'9' && digits < 4) {
            v = v * 10 + (t[p].unicode() - '0');
            ++digits;
            ++p;
        }
        if (digits == 0 || digits > 3 || v > 255)
            return false;
        result = (result << 8) | v;
        ++parts;
        if (parts < 4) {
            if (p >= t.size() || t[p] != u'.')
                return false;
            ++p;
        }
    }
    if (p != t.size())
        return false;
    hostOrder = result;
    return true;
}

uint32_t IpFromText(const QString &text)
{
    uint32_t v = 0;
    return ParseIpv4(text, v) ? v : 0;
}

namespace {
qsizetype NameStart(const QString &path)
{
    return path.lastIndexOf(u'/') + 1;
}
// Index of the extension's dot in the file name, or -1. A leading dot
// (a hidden file's name) is not an extension.
qsizetype ExtensionDot(const QString &path)
{
    const qsizetype start = NameStart(path);
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > start ? dot : -1;
}
} // namespace

QString ReplaceExtension(const QString &path, const QString &extension)
{
    const qsizetype dot = ExtensionDot(path);
    return (dot < 0 ? path : path.left(dot)) + extension;
}

QString FileBaseName(const QString &path)
{
    const qsizetype start = NameStart(path);
    const qsizetype dot = ExtensionDot(path);
    return dot < 0 ? path.mid(start) : path.mid(start, dot - start);
}

QString FolderOf(const QString &path)
{
    return path.left(NameStart(path));
}
