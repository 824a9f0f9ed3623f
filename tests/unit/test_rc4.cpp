// The payload cipher against published RC4 keystreams and the key rules.
#include "protocol/rc4encry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Protocol::CipherPayload;
using Protocol::Rc4Crypt;

namespace {

std::vector<uint8_t> Keystream(const std::vector<uint8_t> &key, size_t length)
{
    std::vector<uint8_t> data(length, 0);
    Rc4Crypt(key.data(), key.size(), data.data(), data.size());
    return data;
}

std::vector<uint8_t> Bytes(const std::string &text)
{
    return {text.begin(), text.end()};
}

} // namespace

// Keystream offsets 0 and 16 for the 40-bit and the 128-bit key of the
// published RC4 test vectors.
TEST(Rc4, PublishedKeystreams)
{
    struct Case
    {
        std::vector<uint8_t> key;
        std::vector<uint8_t> stream;
    };
    const Case cases[] = {
        {{0x01, 0x02, 0x03, 0x04, 0x05},
         {0xb2, 0x39, 0x63, 0x05, 0xf0, 0x3d, 0xc0, 0x27, 0xcc, 0xc3, 0x52, 0x4a, 0x0a, 0x11, 0x18, 0xa8,
          0x69, 0x82, 0x94, 0x4f, 0x18, 0xfc, 0x82, 0xd5, 0x89, 0xc4, 0x03, 0xa4, 0x7a, 0x0d, 0x09, 0x19}},
        {{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x10},
         {0x9a, 0xc7, 0xcc, 0x9a, 0x60, 0x9d, 0x1e, 0xf7, 0xb2, 0x93, 0x28, 0x99, 0xcd, 0xe4, 0x1b, 0x97,
          0x52, 0x48, 0xc4, 0x95, 0x90, 0x14, 0x12, 0x6a, 0x6e, 0x8a, 0x84, 0xf1, 0x1d, 0x1a, 0x9e, 0x1c}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Keystream(c.key, 32), c.stream) << "key length " << c.key.size();
}

TEST(Rc4, EmptyPasswordUsesTheDefaultKey)
{
    std::vector<uint8_t> withEmpty = Bytes("payload under the default key");
    std::vector<uint8_t> withDefault = withEmpty;
    CipherPayload("", withEmpty.data(), withEmpty.size());
    CipherPayload("pqazmwxnoc8261vbtyrh", withDefault.data(), withDefault.size());
    EXPECT_EQ(withEmpty, withDefault);
    EXPECT_NE(withEmpty, Bytes("payload under the default key"));
}

// Key bytes are taken cyclically, so a key and its own repetition build the
// same state.
TEST(Rc4, KeyBytesAreTakenCyclically)
{
    EXPECT_EQ(Keystream(Bytes("ab"), 64), Keystream(Bytes("abababab"), 64));
    EXPECT_NE(Keystream(Bytes("ab"), 64), Keystream(Bytes("ba"), 64));
    // Bytes past the 256th never reach the schedule.
    std::vector<uint8_t> longKey(300, 0x5A);
    longKey[280] = 0x01;
    EXPECT_EQ(Keystream(longKey, 16), Keystream(std::vector<uint8_t>(256, 0x5A), 16));
}

// A fresh state per packet: the same clear payload twice gives the same
// bytes, and a second pass restores the clear text.
TEST(Rc4, FreshStatePerPacketAndRoundTrip)
{
    const std::vector<uint8_t> clear = Bytes("\x91\x01\x01\x92\x02\x17\x70");
    std::vector<uint8_t> first = clear;
    std::vector<uint8_t> second = clear;
    CipherPayload("secret", first.data(), first.size());
    CipherPayload("secret", second.data(), second.size());
    EXPECT_EQ(first, second);
    EXPECT_NE(first, clear);
    CipherPayload("secret", first.data(), first.size());
    EXPECT_EQ(first, clear);

    std::vector<uint8_t> otherKey = clear;
    CipherPayload("Secret", otherKey.data(), otherKey.size());
    EXPECT_NE(otherKey, second);
}
