// Any datagram off the network through the engine's receive path: the
// acceptance checks, the payload cipher, the packet dump and the receiver
// of its command. The first input byte picks the route: odd values take the
// full path, so the checks and the cipher are exercised; even values treat
// the rest as an already accepted clear datagram, so the fuzzer can reach
// every decoder without having to defeat the cipher.
#include "app/debug.h"
#include "app/records.h"
#include "protocol/packet.h"
#include "protocol/protocolcodec.h"
#include "protocol/rc4encry.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace Protocol;

namespace {

void Dispatch(const uint8_t *datagram, size_t size)
{
    const uint8_t *payload = datagram + kHeaderSize;
    const size_t length = size - kHeaderSize;
    switch (HeaderCommand(datagram)) {
    case CMD_DISCOVER: {
        DeviceRecord record;
        DecodeDiscover(payload, length, record);
        break;
    }
    case CMD_LOGIN:
        DecodeResult(payload, length, true);
        break;
    case CMD_LOGOUT:
    case CMD_SET_CONFIG:
    case CMD_STATION_SET_CONFIG:
        DecodeResult(payload, length, false);
        break;
    case CMD_GET_CONFIG: {
        IpConfigRecord ip;
        WlConfigRecord wl;
        int deviceMode = 0;
        DecodeGetConfig(payload, length, {ip, wl, deviceMode});
        break;
    }
    case CMD_EVENT:
        DecodeEvent(payload, length);
        break;
    case CMD_SITE_SURVEY:
        DecodeSurvey(payload, length);
        break;
    case CMD_STATION_GET_CONFIG: {
        char pin[12];
        DecodeStationGetConfig(payload, length, pin, sizeof pin);
        break;
    }
    default:
        break;
    }
}

} // namespace

// The log is switched on (into a sink) so that every log line's formatting
// of untrusted fields is exercised too.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    SetDebugTextHook([](const char *) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool fullPath = (data[0] & 1) != 0;
    // A copy the size of the datagram alone, so reads past it are caught.
    std::vector<uint8_t> datagram(data + 1, data + size);

    if (fullPath) {
        AcceptFacts facts;
        facts.adapterMacs = {{0x00, 0x0C, 0x29, 0xAA, 0x00, 0x01}, {0x00, 0x0C, 0x29, 0xAA, 0x00, 0x02}};
        facts.localMac = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
        if (data[0] & 2)
            facts.peerFilter = {0x00, 0x1D, 0x73, 0x01, 0x02, 0x03};
        if (CheckDatagram(datagram.data(), datagram.size(), facts) != Acceptance::Accepted)
            return 0;
        if (HeaderCommand(datagram.data()) != CMD_DISCOVER)
            CipherPayload("admin", datagram.data() + kHeaderSize, datagram.size() - kHeaderSize);
        LogPacket("10.77.0.2", kDevicePort, datagram.data(), datagram.size());
        Dispatch(datagram.data(), datagram.size());
    } else {
        if (datagram.size() < kHeaderSize)
            return 0;
        Dispatch(datagram.data(), datagram.size());
    }
    return 0;
}
