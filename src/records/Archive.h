#pragma once

#include "records/DateTime.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace korvane {

/** Builds the bytes of a record file: length-prefixed texts, little-endian numbers and date-times. */
class ArchiveWriter
{
public:
    void writeText(const QByteArray& text);
    void writeInt32(std::int32_t value);
    void writeReal(double value);
    void writeDateTime(const DateTime& value);

    const QByteArray& data() const { return m_data; }

private:
    QByteArray m_data;
};

/**
 * Reads the fields of a record file in order. A read past the end, or a length running past it,
 * fails without allocating, and every later read fails too, so callers check `ok()` once at the end.
 */
class ArchiveReader
{
public:
    /** Appends up to `count` more bytes of a file to `buffer`; false when the file cannot be read. */
    using Source = std::function<bool(QByteArray& buffer, qsizetype count)>;

    explicit ArchiveReader(const QByteArray& data) : m_data(data), m_size(data.size()) {}
    /**
     * Reads a file of `size` bytes as a stream: bytes are taken from `source` only as far as the
     * fields read need them, so the bytes after the last field never reach memory.
     */
    ArchiveReader(qsizetype size, Source source) : m_size(size), m_source(std::move(source)) {}

    bool readText(QByteArray& text);
    bool readInt32(std::int32_t& value);
    bool readReal(double& value);
    bool readDateTime(DateTime& value);

    bool ok() const { return m_error.isEmpty(); }
    /** Why reading stopped, empty while every read succeeded. */
    const QString& error() const { return m_error; }
    qsizetype remaining() const { return m_size - m_pos; }
    bool atEnd() const { return m_pos >= m_size; }
    /** The bytes taken in so far: the whole data, or of a stream what its fields needed. */
    const QByteArray& taken() const { return m_data; }
    /** Marks the data malformed with a reason (for checks made by the caller). */
    void fail(const QString& reason);

private:
    bool take(qsizetype count, const char*& bytes);

    QByteArray m_data;
    qsizetype m_size = 0;
    Source m_source;
    qsizetype m_pos = 0;
    QString m_error;
};

} // namespace korvane
