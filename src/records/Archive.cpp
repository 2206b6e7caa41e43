#include "records/Archive.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace korvane {

void ArchiveWriter::writeText(const QByteArray& text)
{
    const auto length = quint64(text.size());
    if (length < 255) {
        m_data.append(char(length));
    } else if (length < 0xFFFE) {
        m_data.append(char(0xFF));
        const quint16 value = qToLittleEndian(quint16(length));
        m_data.append(reinterpret_cast<const char*>(&value), 2);
    } else {
        m_data.append(char(0xFF));
        m_data.append(char(0xFF));
        m_data.append(char(0xFF));
        const quint32 value = qToLittleEndian(quint32(length));
        m_data.append(reinterpret_cast<const char*>(&value), 4);
    }
    m_data.append(text);
}

void ArchiveWriter::writeInt32(std::int32_t value)
{
    const qint32 le = qToLittleEndian(qint32(value));
    m_data.append(reinterpret_cast<const char*>(&le), 4);
}

void ArchiveWriter::writeReal(double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, 8);
    bits = qToLittleEndian(bits);
    m_data.append(reinterpret_cast<const char*>(&bits), 8);
}

void ArchiveWriter::writeDateTime(const DateTime& value)
{
    writeInt32(value.status);
    writeReal(value.days);
}

void ArchiveReader::fail(const QString& reason)
{
    if (m_error.isEmpty())
        m_error = reason;
}

bool ArchiveReader::take(qsizetype count, const char*& bytes)
{
    if (!ok())
        return false;
    if (count < 0 || count > remaining()) {
        fail(QStringLiteral("ends early at byte %1 (%2 more bytes needed, %3 left)")
                 .arg(m_pos)
                 .arg(count)
                 .arg(remaining()));
        return false;
    }
    if (m_pos + count > m_data.size()) {
        // Small files come in one read; a long text comes in as one piece of its own length.
        constexpr qsizetype kChunk = 16384;
        const qsizetype wanted =
            std::max(m_pos + count - m_data.size(), std::min(kChunk, m_size - m_data.size()));
        if (!m_source || !m_source(m_data, wanted)) {
            fail(QStringLiteral("cannot be read past byte %1").arg(m_data.size()));
            return false;
        }
        if (m_pos + count > m_data.size()) {
            fail(QStringLiteral("ends early at byte %1 (%2 more bytes needed, %3 left)")
                     .arg(m_pos)
                     .arg(count)
                     .arg(m_data.size() - m_pos));
            return false;
        }
    }
    bytes = m_data.constData() + m_pos;
    m_pos += count;
    return true;
}

bool ArchiveReader::readText(QByteArray& text)
{
    const char* bytes = nullptr;
    if (!take(1, bytes))
        return false;
    quint64 length = quint8(bytes[0]);
    if (length == 0xFF) {
        if (!take(2, bytes))
            return false;
        length = qFromLittleEndian<quint16>(bytes);
        if (length == 0xFFFF) {
            if (!take(4, bytes))
                return false;
            length = qFromLittleEndian<quint32>(bytes);
        }
    }
    if (length > quint64(remaining())) {
        fail(QStringLiteral("a text of %1 bytes at byte %2 runs past the end").arg(length).arg(m_pos));
        return false;
    }
    if (!take(qsizetype(length), bytes))
        return false;
    text = QByteArray(bytes, qsizetype(length));
    return true;
}

bool ArchiveReader::readInt32(std::int32_t& value)
{
    const char* bytes = nullptr;
    if (!take(4, bytes))
        return false;
    value = qFromLittleEndian<qint32>(bytes);
    return true;
}

bool ArchiveReader::readReal(double& value)
{
    const char* bytes = nullptr;
    if (!take(8, bytes))
        return false;
    const quint64 bits = qFromLittleEndian<quint64>(bytes);
    std::memcpy(&value, &bits, 8);
    return true;
}

bool ArchiveReader::readDateTime(DateTime& value)
{
    DateTime read;
    if (!readInt32(read.status) || !readReal(read.days))
        return false;
    value = read;
    return true;
}

} // namespace korvane
