#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

namespace korvane {

/** The Blowfish block cipher as published: 16 rounds over 64-bit blocks held as two 32-bit halves. */
class Blowfish
{
public:
    /** Runs the key schedule for a key of 1 to 56 bytes (an empty key acts as one zero byte). */
    explicit Blowfish(const QByteArray& key);

    /** Enciphers one block in place; `left` is the first half of the block. */
    void encrypt(std::uint32_t& left, std::uint32_t& right) const;

    /** Deciphers one block in place, undoing `encrypt`. */
    void decrypt(std::uint32_t& left, std::uint32_t& right) const;

private:
    std::uint32_t round(std::uint32_t half) const;

    std::array<std::uint32_t, 18> m_p;
    std::array<std::array<std::uint32_t, 256>, 4> m_s;
};

} // namespace korvane
