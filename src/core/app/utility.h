#pragma once
// Small stateless helpers shared by the settings mechanism, the protocol
// engine and the pages: IPv4 address texts, hexadecimal input
// checks, the two text rules of the settings file (padded group-box
// captions, comma-separated integer lists), a pause that keeps the event
// loop running, and the executable-relative file names.

#include <QString>
#include <cstdint>

// True when every character is a hexadecimal digit; the empty text is true
// (callers check lengths first).
bool IsHexText(const QString &text);

// A non-empty caption gets one blank in front unless it begins with one
// and one blank at the end unless it ends with one. Changes `text` in
// place and returns it.
QString &PadCaption(QString &text);

// Splits `text` as a comma-separated list (items separated by commas or
// blanks, double-quoted items allowed) and converts each item that is an
// integer (decimal, or hexadecimal written 0x...). Stores the first
// `capacity` integers in `values` and returns how many integers were found
// (which may exceed `capacity`). Items that are not integers are skipped.
int ParseIntList(const QString &text, int *values, int capacity);

// Pauses for `ms` product milliseconds (scaled by Timing) while the event
// loop keeps dispatching everything, timers and socket notifications
// included. 0 returns at once without dispatching. Always true.
bool ProcessDelay(unsigned ms);

// Dotted IPv4 text of an address held in host byte order, most significant
// byte first ("192.168.10.100").
QString IpToText(uint32_t hostOrder);

// Parses four dotted decimal numbers 0..255 (blanks around the text
// ignored) into host byte order. False for anything else; `hostOrder` is
// left unchanged then.
bool ParseIpv4(const QString &text, uint32_t &hostOrder);

// ParseIpv4 with 0 for empty or invalid text (empty address fields store 0).
uint32_t IpFromText(const QString &text);

// `path` with the extension of its file name replaced by `extension`
// (".ini", ".Log"), or followed by it when the file name has none.
QString ReplaceExtension(const QString &path, const QString &extension);

// The file name of `path` without folder and extension.
QString FileBaseName(const QString &path);

// The folder of `path` ending with '/' ("" when `path` has no folder).
QString FolderOf(const QString &path);
