#include "app/inifile.h"

#include "app/debug.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

// Windows-1252 for 0x80..0x9F; the five unassigned bytes map to the C1
// control of the same value, as the platform's own conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' || u == '\f';
}

QStringView Trimmed(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QString Fold(QStringView s)
{
    return s.toString().toCaseFolded();
}

// Cuts to the value limit without leaving half of a surrogate pair.
QString CutValue(QStringView v)
{
    if (v.size() <= INI_VALUE_MAX)
        return v.toString();
    qsizetype n = INI_VALUE_MAX;
    if (v[n - 1].isHighSurrogate())
        --n;
    return v.left(n).toString();
}

} // namespace

IniFile::IniFile(const QString &fileName) : m_fileName(fileName)
{
}

IniFile IniFile::FromBytes(const QByteArray &data)
{
    IniFile ini;
    ini.m_fromMemory = true;
    ini.Parse(data);
    ini.m_loaded = true;
    return ini;
}

IniFile::Decoded IniFile::Decode(const QByteArray &data)
{
    Decoded result;
    QByteArrayView bytes(data);
    // The mark goes before either decoding: read as Windows-1252 it would
    // become three letters in front of the first section header.
    result.byteOrderMark = bytes.startsWith("\xEF\xBB\xBF");
    if (result.byteOrderMark)
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    result.text = utf8.decode(bytes);
    result.utf8 = !utf8.hasError();
    if (result.utf8)
        return result;

    result.text.clear();
    result.text.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        result.text.append(b >= 0x80 && b <= 0x9F ? QChar(kCp1252High[b - 0x80]) : QChar(char16_t(b)));
    }
    return result;
}

QString IniFile::DecodeText(const QByteArray &data)
{
    return Decode(data).text;
}

bool IniFile::ParseInteger(const QString &text, int &value)
{
    QStringView s(text);
    if (s.size() >= 3 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) {
        // Hexadecimal covers the full 32 bits; larger values are not integers.
        quint64 v = 0;
        for (qsizetype i = 2; i < s.size(); ++i) {
            const char16_t c = s[i].unicode();
            const int d = (c >= '0' && c <= '9')   ? c - '0'
                          : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                          : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                   : -1;
            if (d < 0)
                return false;
            v = v * 16 + static_cast<quint64>(d);
            if (v > 0xFFFFFFFFull)
                return false;
        }
        value = static_cast<int>(static_cast<quint32>(v));
        return true;
    }

    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    if (i == s.size())
        return false;
    qint64 v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < u'0' || s[i] > u'9')
            return false;
        v = v * 10 + (s[i].unicode() - '0');
        if (v > 2147483648LL)
            return false;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL)
        return false;
    value = static_cast<int>(v);
    return true;
}

void IniFile::Parse(const QByteArray &data) const
{
    m_sections.clear();
    const Decoded decoded = Decode(data);
    if (!m_fromMemory && !data.isEmpty() && !m_encodingLogged) {
        m_encodingLogged = true;
        DebugPrint("IniFile %s read as %s%s", qPrintable(m_fileName), decoded.utf8 ? "UTF-8" : "Windows-1252",
                   decoded.byteOrderMark ? " (byte-order mark skipped)" : "");
    }
    QStringView all(decoded.text);

    // Keys before the first section header belong to the section "".
    Section *current = &m_sections[QString()];
    qsizetype pos = 0;
    while (pos <= all.size()) {
        qsizetype eol = all.indexOf(u'\n', pos);
        if (eol < 0)
            eol = all.size();
        const QStringView line = Trimmed(all.mid(pos, eol - pos));
        pos = eol + 1;

        if (line.isEmpty() || line[0] == u';')
            continue;
        if (line[0] == u'[') {
            const qsizetype close = line.lastIndexOf(u']');
            const QStringView name = close > 0 ? line.mid(1, close - 1) : line.mid(1);
            current = &m_sections[Fold(Trimmed(name))];
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue; // a name without a value reads as missing
        const QString key = Fold(Trimmed(line.left(eq)));
        if (current->contains(key))
            continue; // the first occurrence wins

        QStringView value = Trimmed(line.mid(eq + 1));
        if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0])
            value = value.mid(1, value.size() - 2);
        current->insert(key, CutValue(value));
    }
}

void IniFile::Refresh() const
{
    if (m_fromMemory || m_fileName.isEmpty()) {
        m_loaded = true;
        return;
    }
    const QFileInfo info(m_fileName);
    const bool exists = info.exists() && info.isFile();
    const qint64 size = exists ? info.size() : -1;
    const QDateTime modified = exists ? info.lastModified() : QDateTime();
    if (m_loaded && exists == m_existed && size == m_size && modified == m_modified)
        return;

    QByteArray data;
    if (exists) {
        QFile file(m_fileName);
        if (file.open(QIODevice::ReadOnly))
            data = file.readAll();
        else
            DebugPrint("IniFile FAIL open %s: %s", qPrintable(m_fileName), qPrintable(file.errorString()));
    }
    Parse(data);
    m_loaded = true;
    m_existed = exists;
    m_size = size;
    m_modified = modified;
}

const QString *IniFile::Find(const QString &section, const QString &key) const
{
    Refresh();
    const auto s = m_sections.constFind(Fold(Trimmed(section)));
    if (s == m_sections.constEnd())
        return nullptr;
    const auto k = s->constFind(Fold(Trimmed(key)));
    return k == s->constEnd() ? nullptr : &k.value();
}

QString IniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const QString *value = Find(section, key);
    return value ? *value : def;
}

int IniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    const QString *value = Find(section, key);
    int result = 0;
    if (value && ParseInteger(*value, result))
        return result;
    return def;
}

bool IniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::HasKey(const QString &section, const QString &key) const
{
    return Find(section, key) != nullptr;
}
