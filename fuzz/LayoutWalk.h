#pragma once

#include "records/Records.h"

#include <QByteArray>
#include <cstdint>
#include <type_traits>
#include <variant>

namespace korvane::fuzz {

/**
 * Walks stored bytes field by field without ArchiveReader, so the fuzz targets can tell on their
 * own whether a file is well formed, how many bytes its fields take and whether every length
 * prefix has the shortest form the writer uses (1 byte below 255, 3 below 0xFFFE, else 7).
 */
class LayoutWalk
{
public:
    explicit LayoutWalk(const QByteArray& data) : m_data(data) {}

    /** Walks one length-prefixed text, copying its bytes to `contents` when given. */
    bool text(QByteArray* contents = nullptr);
    bool int32(std::int32_t* value = nullptr);
    bool real() { return skip(8); }
    bool dateTime() { return skip(4) && skip(8); }
    /** Walks the stored fields of one record or list item, in their stored order. */
    template <class R> bool fields();
    /** Marks the bytes malformed for a reason the caller found (a negative count). */
    void fail() { m_ok = false; }

    bool ok() const { return m_ok; }
    /** The bytes walked so far. */
    qsizetype consumed() const { return m_pos; }
    /** True while every length prefix walked so far was in its shortest form. */
    bool canonical() const { return m_canonical; }

private:
    bool skip(qsizetype count);
    std::uint64_t littleEndian(qsizetype at, int width) const;

    QByteArray m_data;
    qsizetype m_pos = 0;
    bool m_ok = true;
    bool m_canonical = true;
};

template <class R> bool LayoutWalk::fields()
{
    for (const auto& field : R::fields()) {
        if (!field.stored)
            continue;
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(R{}.*member)>;
                if constexpr (std::is_same_v<T, QByteArray>)
                    text();
                else if constexpr (std::is_same_v<T, DateTime>)
                    dateTime();
                else if constexpr (std::is_same_v<T, std::int32_t>)
                    int32();
                else
                    real();
            },
            field.member);
    }
    return m_ok;
}

} // namespace korvane::fuzz
