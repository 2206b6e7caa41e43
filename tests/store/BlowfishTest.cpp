#include "store/Blowfish.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using korvane::Blowfish;

namespace {

struct Vector
{
    const char* key; // hexadecimal key bytes
    const char* plain;
    const char* cipher;
};

// Published Blowfish ECB vectors: blocks written big-endian, first half first.
const Vector kVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    // Keys of 1 to 24 bytes cycle differently through the P-array.
    {"F0", "FEDCBA9876543210", "F9AD597C49DB005E"},
    {"F0E1", "FEDCBA9876543210", "E91D21C1D961A6D6"},
    {"F0E1D2", "FEDCBA9876543210", "E9C2B70A1BC65CF3"},
    {"F0E1D2C3", "FEDCBA9876543210", "BE1E639408640F05"},
    {"F0E1D2C3B4A596", "FEDCBA9876543210", "8BB77032F960629D"},
    {"F0E1D2C3B4A59687", "FEDCBA9876543210", "E87A244E2CC85E82"},
    {"F0E1D2C3B4A5968778", "FEDCBA9876543210", "15750E7A4F4EC577"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F", "FEDCBA9876543210", "93142887EE3BE15C"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F00", "FEDCBA9876543210", "03429E838CE2D14B"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677", "FEDCBA9876543210", "05044B62FA52D080"},
};

std::uint32_t half(const char* hex, int index)
{
    return std::uint32_t(std::stoul(std::string(hex + 8 * index, 8), nullptr, 16));
}

} // namespace

TEST(Blowfish, PublishedVectorsEncryptAndDecrypt)
{
    for (const Vector& v : kVectors) {
        SCOPED_TRACE(std::string("key ") + v.key + ", plain " + v.plain);
        const Blowfish cipher(QByteArray::fromHex(v.key));

        std::uint32_t left = half(v.plain, 0);
        std::uint32_t right = half(v.plain, 1);
        cipher.encrypt(left, right);
        EXPECT_EQ(left, half(v.cipher, 0));
        EXPECT_EQ(right, half(v.cipher, 1));

        cipher.decrypt(left, right);
        EXPECT_EQ(left, half(v.plain, 0));
        EXPECT_EQ(right, half(v.plain, 1));
    }
}

TEST(Blowfish, TextKeysFromTheOriginalPaper)
{
    // "BLOWFISH" under a 26-letter key, and a block under a 17-byte text key.
    const Blowfish alphabet(QByteArrayLiteral("abcdefghijklmnopqrstuvwxyz"));
    std::uint32_t left = 0x424C4F57;
    std::uint32_t right = 0x46495348;
    alphabet.encrypt(left, right);
    EXPECT_EQ(left, 0x324ED0FEu);
    EXPECT_EQ(right, 0xF413A203u);

    const Blowfish galt(QByteArrayLiteral("Who is John Galt?"));
    left = 0xFEDCBA98;
    right = 0x76543210;
    galt.encrypt(left, right);
    EXPECT_EQ(left, 0xCC91732Bu);
    EXPECT_EQ(right, 0x8022F684u);
}
