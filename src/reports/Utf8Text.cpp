#include "reports/Utf8Text.h"

#include <utility>

namespace korvane {

Utf8Text& Utf8Text::operator+=(QLatin1StringView piece)
{
    if (!m_pending.isEmpty())
        m_bytes += std::exchange(m_pending, QString()).toUtf8();
    for (const char c : piece) {
        const auto byte = uchar(c);
        if (byte < 0x80) {
            m_bytes += c;
        } else {
            m_bytes += char(0xC0 | (byte >> 6));
            m_bytes += char(0x80 | (byte & 0x3F));
        }
    }
    return *this;
}

Utf8Text& Utf8Text::operator+=(QStringView piece)
{
    if (piece.isEmpty())
        return *this;
    QString joined;
    if (!m_pending.isEmpty()) {
        joined = std::exchange(m_pending, QString());
        joined += piece;
        piece = joined;
    }
    if (piece.back().isHighSurrogate()) {
        m_pending = piece.right(1).toString();
        piece.chop(1);
    }
    m_bytes += piece.toUtf8();
    return *this;
}

QByteArray Utf8Text::bytes() const
{
    return m_pending.isEmpty() ? m_bytes : m_bytes + m_pending.toUtf8();
}

} // namespace korvane
