#pragma once

#include "records/DateTime.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

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
    explicit ArchiveReader(const QByteArray& data) : m_data(data) {}

    bool readText(QByteArray& text);
    bool readInt32(std::int32_t& value);
    bool readReal(double& value);
    bool readDateTime(DateTime& value);

    bool ok() const { return m_error.isEmpty(); }
    /** Why reading stopped, empty while every read succeeded. */
    const QString& error() const { return m_error; }
    qsizetype remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    /** Marks the data malformed with a reason (for checks made by the caller). */
    void fail(const QString& reason);

private:
    bool take(qsizetype count, const char*& bytes);

    QByteArray m_data;
    qsizetype m_pos = 0;
    QString m_error;
};

} // namespace korvane
