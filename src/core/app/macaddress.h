#pragma once
// The hardware address: the one type the packet header, the sockets, the
// adapter list and the device and survey records carry, and its one text
// form.

#include <QString>
#include <array>
#include <cstdint>

using MacAddress = std::array<uint8_t, 6>;

// The six bytes as upper-case hexadecimal pairs joined by colons
// ("00:01:AB:CD:EF:FF"), as the log lines, the device list and wizardctl
// show them.
QString FormatMac(const MacAddress &mac);
