#include "store/DisplayFormat.h"

#include <cmath>

namespace korvane {

namespace {

// The number of decimals the locale gives a currency amount, read from its form of zero.
int currencyDigits(const QLocale& locale)
{
    const QString zero = locale.toCurrencyString(0.0);
    const QString zeroDigit = locale.zeroDigit();
    const QString point = locale.decimalPoint();
    const qsizetype at = zero.indexOf(zeroDigit);
    if (at < 0 || !QStringView(zero).mid(at + zeroDigit.size()).startsWith(point))
        return 0;
    int digits = 0;
    for (qsizetype i = at + zeroDigit.size() + point.size(); QStringView(zero).mid(i).startsWith(zeroDigit);
         i += zeroDigit.size())
        ++digits;
    return digits;
}

// The amount is first printed with six decimals and that text is rounded half up to the
// currency's decimals, so 1.005 shows as 1.01 although its nearest double lies just below.
double roundedAsPrinted(double value, int digits)
{
    const QString printed = QString::asprintf("%f", value);
    const bool negative = printed.startsWith(u'-');
    const QString magnitudeText = negative ? printed.mid(1) : printed;
    const qsizetype point = magnitudeText.indexOf(u'.');
    if (point < 0 || digits >= magnitudeText.size() - point - 1)
        return value;

    QString kept = magnitudeText.left(point) + magnitudeText.mid(point + 1, digits);
    if (magnitudeText.at(point + 1 + digits) >= u'5') {
        qsizetype i = kept.size() - 1;
        while (i >= 0 && kept.at(i) == u'9')
            kept[i--] = u'0';
        if (i >= 0)
            kept[i] = QChar(kept.at(i).unicode() + 1);
        else
            kept.prepend(u'1');
    }
    const QString text = kept.left(kept.size() - digits) + u'.' + kept.right(digits);
    const double magnitude = text.toDouble();
    // A value that rounds to zero shows as zero, not as minus zero.
    return negative && magnitude != 0.0 ? -magnitude : magnitude;
}

bool isSecondsSeparator(QChar c)
{
    return !c.isLetter() && c != u'\'';
}

} // namespace

QString DisplayFormat::dateWithPicture(const DateTime& value, const QString& picture, const QLocale& locale)
{
    const QDateTime moment = value.toQDateTime();
    if (!moment.isValid())
        return {};
    return locale.toString(moment.date(), picture);
}

QString DisplayFormat::shortDate(const DateTime& value, const QLocale& locale)
{
    const QDateTime moment = value.toQDateTime();
    if (!moment.isValid())
        return {};
    return locale.toString(moment.date(), QLocale::ShortFormat);
}

QString DisplayFormat::timeWithoutSeconds(const DateTime& value, const QLocale& locale)
{
    const QDateTime moment = value.toQDateTime();
    if (!moment.isValid())
        return {};
    return locale.toString(moment.time(), pictureWithoutSeconds(locale.timeFormat(QLocale::ShortFormat)));
}

QString DisplayFormat::amount(double value, const QLocale& locale)
{
    const int digits = currencyDigits(locale);
    const double shown = std::isfinite(value) ? roundedAsPrinted(value, digits) : value;
    QString text = locale.toCurrencyString(shown, QString(), digits);
    text.remove(u'(');
    text.remove(u')');
    return text;
}

QString DisplayFormat::amountWithSymbol(double value, const QString& symbol, const QLocale& locale)
{
    const QString text = amount(value, locale);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) >= u'0' && text.at(i) <= u'9')
            return symbol + text.mid(i);
    }
    return symbol;
}

QString DisplayFormat::pictureWithoutSeconds(const QString& picture)
{
    QString result;
    bool quoted = false;
    qsizetype i = 0;
    while (i < picture.size()) {
        const QChar c = picture.at(i);
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && c == u's') {
            while (!result.isEmpty() && isSecondsSeparator(result.back()))
                result.chop(1);
            while (i < picture.size() && picture.at(i) == u's')
                ++i;
            // Fractions of a second go with the seconds ("ss.zzz").
            qsizetype j = i;
            if (j < picture.size() && (picture.at(j) == u'.' || picture.at(j) == u','))
                ++j;
            if (j < picture.size() && picture.at(j) == u'z') {
                while (j < picture.size() && picture.at(j) == u'z')
                    ++j;
                i = j;
            }
            continue;
        }
        result += c;
        ++i;
    }
    return result;
}

} // namespace korvane
