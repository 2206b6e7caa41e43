#include "LayoutWalk.h"

namespace korvane::fuzz {

bool LayoutWalk::skip(qsizetype count)
{
    if (!m_ok || count > m_data.size() - m_pos) {
        m_ok = false;
        return false;
    }
    m_pos += count;
    return true;
}

std::uint64_t LayoutWalk::littleEndian(qsizetype at, int width) const
{
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | std::uint8_t(m_data[at + i]);
    return value;
}

bool LayoutWalk::int32(std::int32_t* value)
{
    const qsizetype at = m_pos;
    if (!skip(4))
        return false;
    if (value)
        *value = std::int32_t(std::uint32_t(littleEndian(at, 4)));
    return true;
}

bool LayoutWalk::text(QByteArray* contents)
{
    qsizetype at = m_pos;
    if (!skip(1))
        return false;
    std::uint64_t length = littleEndian(at, 1);
    int prefix = 1;
    if (length == 0xFF) {
        at = m_pos;
        if (!skip(2))
            return false;
        length = littleEndian(at, 2);
        prefix = 3;
        if (length == 0xFFFF) {
            at = m_pos;
            if (!skip(4))
                return false;
            length = littleEndian(at, 4);
            prefix = 7;
        }
    }
    const int shortest = length < 0xFF ? 1 : length < 0xFFFE ? 3 : 7;
    if (prefix != shortest)
        m_canonical = false;
    if (length > std::uint64_t(m_data.size() - m_pos)) {
        m_ok = false;
        return false;
    }
    at = m_pos;
    if (!skip(qsizetype(length)))
        return false;
    if (contents)
        *contents = m_data.mid(at, qsizetype(length));
    return true;
}

} // namespace korvane::fuzz
