#pragma once

#include "records/Clock.h"
#include "records/DateTime.h"
#include "records/Text.h"

#include <QByteArray>
#include <QDateTime>
#include <cstddef>
#include <cstdint>
#include <cstdio>

/** Stops the run with the broken rule named, so libFuzzer keeps the input that broke it. */
#define FUZZ_REQUIRE(condition)                                                                              \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "broken rule: %s (%s:%d)\n", #condition, __FILE__, __LINE__);               \
            __builtin_trap();                                                                                \
        }                                                                                                    \
    } while (false)

namespace korvane::fuzz {

/**
 * The fuzzer's bytes without a copy: the data is exactly as long as the input, so reading one byte
 * past its end is an AddressSanitizer report instead of a silent read of Qt's closing zero.
 */
inline QByteArray inputBytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
}

/** The moment used as "now", fixed so a crash found once replays the same way. */
inline const DateTime& fixedNow()
{
    static const DateTime now = [] {
        Clock::setFixed(QDateTime(QDate(2024, 5, 17), QTime(9, 30)));
        return DateTime::now();
    }();
    return now;
}

/** Does with a loaded text what every list and report does: turns it into display text. */
inline void showText(const QByteArray& text)
{
    const QString shown = displayText(text);
    FUZZ_REQUIRE(!text.isEmpty() || shown.isEmpty());
}

/** Does with a loaded date-time what every list and report does: turns it into a local date-time. */
inline void showDateTime(const DateTime& value)
{
    const QDateTime shown = value.toQDateTime();
    FUZZ_REQUIRE(value.isValid() || !shown.isValid());
}

} // namespace korvane::fuzz
