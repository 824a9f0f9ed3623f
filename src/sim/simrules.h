#pragma once
// What a simulated device accepts in a wireless write: the limits of each
// element (network name, modes, WEP key, passphrase) and the elements a
// security mode needs. A refused write leaves the profile as it was, so a
// read-back after a failed write shows the old settings, as on the device.

#include "simconfig.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

// One element of a request, its value copied out of the datagram.
struct SimElement
{
    uint8_t type;
    QByteArray value;
};

// The complete elements of a clear request payload, in order.
std::vector<SimElement> SimElements(const QByteArray &payload);

// Applies the elements of a wireless write to a copy of `profile`; false
// (and `profile` untouched) when any value is one the device cannot take.
bool ApplyWireless(const std::vector<SimElement> &elements, SimWireless &profile);
