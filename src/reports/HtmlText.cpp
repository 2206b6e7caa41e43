#include "reports/HtmlText.h"

#include "records/Text.h"

#include <array>
#include <charconv>

namespace korvane::HtmlText {

QString escape(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            result += QLatin1String("&amp;");
            break;
        case u'<':
            result += QLatin1String("&lt;");
            break;
        case u'>':
            result += QLatin1String("&gt;");
            break;
        case u'"':
            result += QLatin1String("&quot;");
            break;
        default:
            result += c;
        }
    }
    return result;
}

QString record(const QByteArray& bytes)
{
    return escape(displayText(bytes));
}

QString fixed(double value, int decimals)
{
    // std::to_chars rounds exactly as printf does in the C locale; Qt's own formatting rounds
    // exact halves away from zero and drops the sign of minus zero. The largest double needs
    // 309 digits before the point.
    std::array<char, 320 + 32> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return {};
    return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

} // namespace korvane::HtmlText
