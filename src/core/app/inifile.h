#pragma once
// The settings-file reader: a parser of the INI syntax with the lookup
// rules of the platform's profile reader. Section and key names are
// case-insensitive, blanks around names and values are trimmed, one pair of
// enclosing quotes is removed, the first occurrence of a key wins, a value
// is cut to 2047 characters, and a missing or unreadable file simply gives
// every default. An initial UTF-8 byte-order mark is skipped; the bytes
// after it are decoded as UTF-8 when they are valid UTF-8, else as
// Windows-1252, so files written by either kind of editor work. The first
// read of a file logs which of the two it was.
// The file comes from the distribution medium and is untrusted: any bytes
// parse without harm.
//
// The reader never writes the file. It re-reads the file when its size or
// time stamp has changed, so a text looked up at the moment a message is
// shown reflects the file as it is then.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

// Longest value a read returns, in characters.
inline constexpr int INI_VALUE_MAX = 2047;

class IniFile
{
public:
    // A reader with no file: every read gives its default.
    IniFile() = default;
    // A reader on `fileName`; the file need not exist.
    explicit IniFile(const QString &fileName);

    // A reader on bytes held in memory (tests, fuzzing); never touches disk.
    static IniFile FromBytes(const QByteArray &data);

    QString FileName() const { return m_fileName; }

    // The value of `key` in `section`, or `def` when either is missing.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;

    // An integer value: decimal, or hexadecimal when the value is at least
    // three characters long and begins with "0x" or "0X". A missing key or
    // a value that is not a 32-bit integer gives `def`.
    int ReadInteger(const QString &section, const QString &key, int def) const;

    // A boolean read as an integer: 0 false, any other integer true; a
    // missing key or a value that is not an integer gives `def`.
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    // Whether the key is present (with an equals sign) in the section.
    bool HasKey(const QString &section, const QString &key) const;

    struct Decoded
    {
        QString text;
        bool utf8 = true;           // else Windows-1252
        bool byteOrderMark = false; // an initial UTF-8 mark was skipped
    };
    // Decodes the file's bytes: an initial byte-order mark dropped, the
    // rest as UTF-8 when valid, else as Windows-1252.
    static Decoded Decode(const QByteArray &data);
    static QString DecodeText(const QByteArray &data);

    // The integer rule of ReadInteger applied to a text (already trimmed).
    static bool ParseInteger(const QString &text, int &value);

private:
    using Section = QHash<QString, QString>; // case-folded key -> value

    void Parse(const QByteArray &data) const;
    void Refresh() const;
    const QString *Find(const QString &section, const QString &key) const;

    QString m_fileName;
    bool m_fromMemory = false;

    // Parsed content and the file state it was parsed from.
    mutable QHash<QString, Section> m_sections; // case-folded section -> keys
    mutable bool m_loaded = false;
    mutable bool m_encodingLogged = false;
    mutable bool m_existed = false;
    mutable qint64 m_size = -1;
    mutable QDateTime m_modified;
};
