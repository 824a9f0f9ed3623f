#include "protocol/rc4encry.h"

#include <array>
#include <utility>

namespace Protocol {

void Rc4Crypt(const uint8_t *key, size_t keyLength, uint8_t *data, size_t length)
{
    if (keyLength == 0) {
        key = reinterpret_cast<const uint8_t *>(kDefaultCipherKey.data());
        keyLength = kDefaultCipherKey.size();
    }
    std::array<uint8_t, 256> state;
    for (size_t i = 0; i < state.size(); ++i)
        state[i] = uint8_t(i);
    uint8_t j = 0;
    for (size_t i = 0; i < state.size(); ++i) {
        j = uint8_t(j + state[i] + key[i % keyLength]);
        std::swap(state[i], state[j]);
    }
    uint8_t x = 0;
    uint8_t y = 0;
    for (size_t n = 0; n < length; ++n) {
        x = uint8_t(x + 1);
        y = uint8_t(y + state[x]);
        std::swap(state[x], state[y]);
        data[n] ^= state[uint8_t(state[x] + state[y])];
    }
}

void CipherPayload(std::string_view password, uint8_t *data, size_t length)
{
    const std::string_view key = password.empty() ? kDefaultCipherKey : password;
    Rc4Crypt(reinterpret_cast<const uint8_t *>(key.data()), key.size(), data, length);
}

} // namespace Protocol
