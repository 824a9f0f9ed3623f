#pragma once
// The diagnostic log. Logging is switched on by a file named like the
// executable with the extension ".Log" beside it; without that file nothing
// is written and a DebugPrint costs only its formatting. Every unit writes
// through DebugPrint.

// Formats with printf rules and writes one time-stamped line. A formatting
// failure is swallowed and whatever text resulted is written.
void DebugPrint(const char *format, ...) __attribute__((format(printf, 1, 2)));
