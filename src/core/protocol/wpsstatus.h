#pragma once
// The texts of the device's WPS status codes, as the wizard's WPS page and
// the command-line client show and log them. One table, so the two never
// tell the user different things for the same code.

namespace WpsStatus {

// The text for a status code the device reports during a WPS run; codes
// outside the device's table read "Unknown".
const char *Text(int code);

} // namespace WpsStatus
