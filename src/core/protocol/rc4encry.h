#pragma once
// The payload cipher. Every payload except discovery's travels under RC4
// keyed by the login password, so only a device that holds the same
// password can read the login phrase or any later packet. A fresh cipher
// state is built for each packet: nothing carries over between packets.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Protocol {

// The key used when the password is empty.
inline constexpr std::string_view kDefaultCipherKey{"pqazmwxnoc8261vbtyrh"};

// The RC4 stream cipher over `data` in place: key schedule over a 256-byte
// state, key bytes taken cyclically, then the keystream XORed onto the data.
// Enciphering and deciphering are the same call. A key of any length from 1
// byte works (bytes past the 256th never reach the schedule); an empty key
// is treated as the default key.
void Rc4Crypt(const uint8_t *key, size_t keyLength, uint8_t *data, size_t length);

// The payload cipher: `password` as the key, or the default key when it is
// empty.
void CipherPayload(std::string_view password, uint8_t *data, size_t length);

} // namespace Protocol
