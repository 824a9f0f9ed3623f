#include "pages/front/licensetext.h"

#include "app/debug.h"
#include "app/inifile.h"

#include <QFile>
#include <QFileInfo>
#include <QTextEdit>
#include <vector>

namespace {

struct RtfGroup {
    bool skip = false; // inside a destination whose text is not shown
    int ucSkip = 1;    // fallback characters after a \uN
};

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Destinations whose content is never shown.
bool IsHiddenDestination(const QByteArray &word)
{
    static const char *const hidden[] = {
        "fonttbl",   "colortbl",  "stylesheet", "info",          "pict",         "header",      "headerl",
        "headerr",   "headerf",   "footer",     "footerl",       "footerr",      "footerf",     "footnote",
        "object",    "themedata", "datastore",  "xmlnstbl",      "listtable",    "listoverridetable",
        "rsidtbl",   "generator", "latentstyles", "filetbl",     "revtbl",       "pgdsctbl",    "colorschememapping",
        "fldinst",   "bkmkstart", "bkmkend",    "shp",           "nonshppict",   "mmathPr",     "xe",
        "tc",        "template",  "operator",   "author",        "title",        "subject",     "keywords",
        "comment",   "doccomm",   "company",    "creatim",       "revtim",       "printim",     "buptim",
    };
    for (const char *name : hidden) {
        if (word == name)
            return true;
    }
    return false;
}

class RtfReader
{
public:
    explicit RtfReader(const QByteArray &data) : m_data(data) {}

    QString Run()
    {
        m_groups.push_back(RtfGroup{});
        const qsizetype n = m_data.size();
        while (m_pos < n) {
            const char c = m_data[m_pos];
            if (c == '{') {
                ++m_pos;
                m_groups.push_back(m_groups.back());
            } else if (c == '}') {
                ++m_pos;
                if (m_groups.size() > 1)
                    m_groups.pop_back();
            } else if (c == '\\') {
                ++m_pos;
                ControlSequence();
            } else if (c == '\r' || c == '\n') {
                ++m_pos;
            } else {
                ++m_pos;
                Character(static_cast<unsigned char>(c));
            }
        }
        Flush();
        return m_text;
    }

private:
    RtfGroup &Current() { return m_groups.back(); }

    void Flush()
    {
        if (!m_bytes.isEmpty()) {
            m_text += IniFile::DecodeText(m_bytes);
            m_bytes.clear();
        }
    }

    // One visible byte (a literal or \'hh), unless hidden or a fallback
    // character of a preceding \uN.
    void Character(unsigned char byte)
    {
        if (m_fallback > 0) {
            --m_fallback;
            return;
        }
        if (Current().skip)
            return;
        m_bytes.append(static_cast<char>(byte));
    }

    void Text(const QString &text)
    {
        if (Current().skip)
            return;
        Flush();
        m_text += text;
    }

    void ControlSequence()
    {
        const qsizetype n = m_data.size();
        if (m_pos >= n)
            return;
        const char c = m_data[m_pos];
        if (!IsLetter(c)) {
            ++m_pos;
            ControlSymbol(c);
            return;
        }
        QByteArray word;
        while (m_pos < n && IsLetter(m_data[m_pos]) && word.size() < 32)
            word.append(m_data[m_pos++]);
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (m_pos < n && m_data[m_pos] == '-' && m_pos + 1 < n && IsDigit(m_data[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        while (m_pos < n && IsDigit(m_data[m_pos])) {
            hasParam = true;
            if (param < 100000000)
                param = param * 10 + (m_data[m_pos] - '0');
            ++m_pos;
        }
        if (negative)
            param = -param;
        if (m_pos < n && m_data[m_pos] == ' ')
            ++m_pos;
        Word(word, hasParam, static_cast<int>(param));
    }

    void ControlSymbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Character(static_cast<unsigned char>(c));
            break;
        case '\'': {
            // Two hex digits make one byte; a broken escape shows nothing.
            const qsizetype n = m_data.size();
            int value = 0;
            int digits = 0;
            while (digits < 2 && m_pos < n && HexValue(m_data[m_pos]) >= 0) {
                value = value * 16 + HexValue(m_data[m_pos]);
                ++m_pos;
                ++digits;
            }
            if (digits == 2)
                Character(static_cast<unsigned char>(value));
            break;
        }
        case '*':
            Current().skip = true;
            break;
        case '~':
            Text(QString(QChar(0x00A0)));
            break;
        case '_':
            Text(QStringLiteral("-"));
            break;
        case '\r':
        case '\n':
            Text(QStringLiteral("\n"));
            break;
        default: // \- optional hyphen, \| and others: nothing to show
            break;
        }
    }

    void Word(const QByteArray &word, bool hasParam, int param)
    {
        if (word == "par" || word == "line" || word == "row" || word == "sect" || word == "page") {
            Text(QStringLiteral("\n"));
        } else if (word == "tab" || word == "cell") {
            Text(QStringLiteral("\t"));
        } else if (word == "u" && hasParam) {
            const int code = param < 0 ? param + 65536 : param;
            if (code > 0 && code <= 0xFFFF)
                Text(QString(QChar(char16_t(code))));
            m_fallback = Current().skip ? 0 : Current().ucSkip;
        } else if (word == "uc" && hasParam) {
            Current().ucSkip = param < 0 ? 0 : param;
        } else if (word == "emdash") {
            Text(QString(QChar(0x2014)));
        } else if (word == "endash") {
            Text(QString(QChar(0x2013)));
        } else if (word == "bullet") {
            Text(QString(QChar(0x2022)));
        } else if (word == "lquote") {
            Text(QString(QChar(0x2018)));
        } else if (word == "rquote") {
            Text(QString(QChar(0x2019)));
        } else if (word == "ldblquote") {
            Text(QString(QChar(0x201C)));
        } else if (word == "rdblquote") {
            Text(QString(QChar(0x201D)));
        } else if (IsHiddenDestination(word)) {
            Current().skip = true;
        }
    }

    const QByteArray &m_data;
    qsizetype m_pos = 0;
    std::vector<RtfGroup> m_groups;
    QString m_text;
    QByteArray m_bytes; // undecoded bytes of the current run
    int m_fallback = 0;
};

} // namespace

LicenseFormat DetectLicenseFormat(const QByteArray &data, const QString &fileName)
{
    QByteArrayView start(data);
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.sliced(3);
    if (start.startsWith("{\\rtf"))
        return LicenseFormat::Rtf;
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("htm") || suffix == QLatin1String("html"))
        return LicenseFormat::Html;
    const QByteArray head = start.first(qMin<qsizetype>(start.size(), 512)).toByteArray().trimmed().toLower();
    if (head.startsWith("<!doctype html") || head.startsWith("<html"))
        return LicenseFormat::Html;
    return LicenseFormat::PlainText;
}

QString RtfToPlainText(const QByteArray &rtf)
{
    RtfReader reader(rtf);
    QString text = reader.Run();
    // Documents end with a closing \par; a trailing empty line adds nothing.
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

bool LoadLicenseFile(QTextEdit *view, const QString &path)
{
    view->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        DebugPrint("LoadLicenseFile() FAIL open %s", qUtf8Printable(path));
        return false;
    }
    const QByteArray data = file.readAll();
    switch (DetectLicenseFormat(data, path)) {
    case LicenseFormat::Rtf:
        view->setPlainText(RtfToPlainText(data));
        break;
    case LicenseFormat::Html:
        view->setHtml(IniFile::DecodeText(data));
        break;
    case LicenseFormat::PlainText:
        view->setPlainText(IniFile::DecodeText(data));
        break;
    }
    return true;
}
