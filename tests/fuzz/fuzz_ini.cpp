// Settings files come from the distribution medium: any bytes through the
// INI reader, then lookups of keys the input itself names, and the integer
// and comma-list rules on its text.
#include "app/inifile.h"
#include "app/utility.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const IniFile ini = IniFile::FromBytes(bytes);

    // Use the first line as "section" and the second as "key" so that the
    // fuzzer can steer lookups onto names that exist.
    const QString text = IniFile::DecodeText(bytes);
    const QStringList lines = text.split(u'\n');
    const QString section = lines.value(0);
    const QString key = lines.value(1);
    const QString value = ini.ReadString(section, key, QStringLiteral("def"));
    if (value.size() > INI_VALUE_MAX)
        __builtin_trap();
    const bool present = ini.HasKey(section, key);
    if (!present && value != QStringLiteral("def"))
        __builtin_trap();
    const int number = ini.ReadInteger(section, key, 12345);
    const bool flag = ini.ReadBool(section, key, true);
    if (flag != (number != 0))
        __builtin_trap();

    int values[16];
    const int found = ParseIntList(value, values, 16);
    if (found < 0 || found > value.size() + 1)
        __builtin_trap();
    uint32_t ip = 0;
    ParseIpv4(value, ip);
    QString caption = value;
    PadCaption(caption);
    return 0;
}
