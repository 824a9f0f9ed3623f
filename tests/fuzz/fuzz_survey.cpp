// Site-survey answers: any payload through the record decoder, and the
// three-character number fields through the decimal conversion.
#include "app/records.h"
#include "protocol/packet.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<uint8_t> payload(data, data + size);
    const std::vector<SurveyEntry> entries = Protocol::DecodeSurvey(payload.data(), payload.size());
    if (entries.size() != size / Protocol::kSurveyRecordSize)
        __builtin_trap();
    for (const SurveyEntry &entry : entries) {
        // The decoded name always ends inside its field.
        if (strnlen(entry.Ssid, sizeof entry.Ssid) > 32)
            __builtin_trap();
        if (entry.Signal < -99 || entry.Signal > 999 || entry.Channel < -99 || entry.Channel > 999)
            __builtin_trap();
    }
    char number[4] = {};
    std::memcpy(number, data, size < 3 ? size : 3);
    Protocol::DecimalText(number);
    return 0;
}
