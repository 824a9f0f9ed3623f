// Receive-path throughput of the codec: a full configuration answer checked,
// deciphered and walked into the records, as the engine does per datagram
// (the log is off, as in the product without a ".Log" file).
#include "app/records.h"
#include "protocol/packet.h"
#include "protocol/protocolcodec.h"
#include "protocol/rc4encry.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

using namespace Protocol;

namespace {

const MacAddress kDevice{0x00, 0x1D, 0x73, 0x01, 0x02, 0x03};
const char kPassword[] = "admin";

// A configuration answer carrying every element the wizard decodes,
// enciphered as the device sends it.
std::vector<uint8_t> FullConfigAnswer()
{
    Request answer(kDevice);
    answer.AppendU8(DEVICE_MODE, 1);
    answer.AppendU8(IP_MODE, 0);
    answer.AppendU32(LAN_IP, 0xC0A80A64);
    answer.AppendU32(LAN_NETMASK, 0xFFFFFF00);
    answer.AppendU32(LAN_GATEWAY, 0xC0A80A01);
    answer.AppendText(WL_SSID, "a-rather-long-network-name-32chr");
    const uint8_t channels[13] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    answer.AppendTlv(WL_CH_LIST, channels, sizeof channels);
    answer.AppendU8(WL_EXT_CH, 1);
    answer.AppendU8(WL_STD_CH, 6);
    answer.AppendU8(WL_SECURITY_MODE, 2);
    answer.AppendU8(WL_AUTH_MODE, 2);
    answer.AppendU8(WL_WEPKEY_LEN, 0);
    answer.AppendU8(WL_WEPKEY_INDEX, 1);
    answer.AppendU8(WL_WPA_MODE, 2);
    answer.AppendU8(WL_WPA_CIPHER, 2);
    answer.AppendU32(WL_WPS_PIN, 12345670);
    answer.Finish(CMD_GET_CONFIG);
    std::vector<uint8_t> bytes(answer.Data(), answer.Data() + answer.Size());
    CipherPayload(kPassword, bytes.data() + kHeaderSize, bytes.size() - kHeaderSize);
    return bytes;
}

void BM_ReceiveGetConfig(benchmark::State &state)
{
    const std::vector<uint8_t> wire = FullConfigAnswer();
    AcceptFacts facts;
    facts.adapterMacs = {{0x00, 0x0C, 0x29, 0xAA, 0x00, 0x01}};
    facts.localMac = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
    std::vector<uint8_t> datagram(wire.size());
    IpConfigRecord ip;
    WlConfigRecord wl;
    int deviceMode = 0;
    for (auto _ : state) {
        std::memcpy(datagram.data(), wire.data(), wire.size());
        if (CheckDatagram(datagram.data(), datagram.size(), facts) != Acceptance::Accepted) {
            state.SkipWithError("answer refused");
            break;
        }
        CipherPayload(kPassword, datagram.data() + kHeaderSize, datagram.size() - kHeaderSize);
        LogPacket("10.77.0.2", kDevicePort, datagram.data(), datagram.size());
        const WalkSummary summary = DecodeGetConfig(datagram.data() + kHeaderSize,
                                                    datagram.size() - kHeaderSize, {ip, wl, deviceMode});
        benchmark::DoNotOptimize(summary);
        benchmark::DoNotOptimize(wl);
    }
    if (wl.WpsPin != 12345670)
        state.SkipWithError("answer decoded wrongly");
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(wire.size()));
    state.counters["datagram_bytes"] = double(wire.size());
}
BENCHMARK(BM_ReceiveGetConfig);

// The cipher alone over the same payload length: the key schedule
// dominates a short packet.
void BM_CipherPayload(benchmark::State &state)
{
    std::vector<uint8_t> payload(size_t(state.range(0)), 0x5A);
    for (auto _ : state) {
        CipherPayload(kPassword, payload.data(), payload.size());
        benchmark::DoNotOptimize(payload.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_CipherPayload)->Arg(3)->Arg(102)->Arg(1006);

} // namespace

BENCHMARK_MAIN();
