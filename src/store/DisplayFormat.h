#pragma once

#include "records/DateTime.h"

#include <QLocale>
#include <QString>

namespace korvane {

/**
 * The display forms of dates, times and money amounts, following the system locale (or the one
 * given); date-times whose status is not valid show as an empty text.
 */
class DisplayFormat
{
public:
    /** The date formatted with a picture such as "dd MMM yy" (03 Jul 07). */
    static QString dateWithPicture(const DateTime& value, const QString& picture,
                                   const QLocale& locale = QLocale::system());

    /** The locale's short date form. */
    static QString shortDate(const DateTime& value, const QLocale& locale = QLocale::system());

    /** The locale's short time form with any seconds left out. */
    static QString timeWithoutSeconds(const DateTime& value, const QLocale& locale = QLocale::system());

    /** The locale's currency form of an amount, with every "(" and ")" removed. */
    static QString amount(double value, const QLocale& locale = QLocale::system());

    /** The chosen symbol followed by the locale's currency form from its first digit on ("Rs.1,234.50"). */
    static QString amountWithSymbol(double value, const QString& symbol,
                                    const QLocale& locale = QLocale::system());

    /** A time picture with its seconds field, and the separator before it, removed ("h:mm:ss AP" to "h:mm
     * AP"). */
    static QString pictureWithoutSeconds(const QString& picture);
};

} // namespace korvane
