#include "JsonRecords.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QLocale>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

QString typeName(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("a boolean");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

} // namespace

QByteArray JsonRecords::quoted(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray result;
    result.reserve(utf8.size() + 2);
    result += '"';
    for (const char c : utf8) {
        switch (c) {
        case '"':
            result += "\\\"";
            break;
        case '\\':
            result += "\\\\";
            break;
        case '\b':
            result += "\\b";
            break;
        case '\f':
            result += "\\f";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\t':
            result += "\\t";
            break;
        default:
            if (uchar(c) < 0x20)
                result += "\\u00" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
            else
                result += c;
        }
    }
    result += '"';
    return result;
}

QByteArray JsonRecords::real(double value)
{
    if (!std::isfinite(value))
        return "null";
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

QByteArray JsonRecords::dateTime(const DateTime& value)
{
    return "{\"status\": " + integer(value.status) + ", \"days\": " + real(value.days) + '}';
}

std::optional<QJsonObject> JsonRecords::parseObject(const QByteArray& json, QString& error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("not valid JSON (%1 at offset %2)")
                    .arg(parseError.errorString())
                    .arg(parseError.offset);
        return std::nullopt;
    }
    if (!document.isObject()) {
        error = QStringLiteral("expected a JSON object");
        return std::nullopt;
    }
    return document.object();
}

QString JsonRecords::readValue(const QJsonValue& value, QByteArray& text)
{
    if (!value.isString())
        return QStringLiteral("expected a string, found %1").arg(typeName(value));
    // A text printed from stored Windows-1252 bytes and given back unchanged keeps those bytes, so
    // that changing one field of a record from the Windows program does not rewrite the others.
    if (value.toString() != displayText(text))
        text = storedText(value.toString());
    return {};
}

QString JsonRecords::readValue(const QJsonValue& value, std::int32_t& integer)
{
    if (!value.isDouble())
        return QStringLiteral("expected an integer, found %1").arg(typeName(value));
    const double number = value.toDouble();
    if (number != std::trunc(number))
        return QStringLiteral("expected an integer, found %1").arg(QString::fromLatin1(real(number)));
    if (number < double(std::numeric_limits<std::int32_t>::min()) ||
        number > double(std::numeric_limits<std::int32_t>::max()))
        return QStringLiteral("%1 does not fit a 32-bit integer").arg(number, 0, 'f', 0);
    integer = std::int32_t(number);
    return {};
}

QString JsonRecords::readValue(const QJsonValue& value, double& number)
{
    // null stands for the NaN or infinity that was printed as null.
    if (value.isNull()) {
        number = std::numeric_limits<double>::quiet_NaN();
        return {};
    }
    if (!value.isDouble())
        return QStringLiteral("expected a number, found %1").arg(typeName(value));
    number = value.toDouble();
    return {};
}

QString JsonRecords::readValue(const QJsonValue& value, DateTime& dateTime)
{
    const QString shape = QStringLiteral("expected {\"status\": 0, 1 or 2, \"days\": a number}");
    if (!value.isObject())
        return QStringLiteral("%1, found %2").arg(shape, typeName(value));
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() != QLatin1String("status") && it.key() != QLatin1String("days"))
            return QStringLiteral("%1, found the unknown key \"%2\"").arg(shape, it.key());
    }
    if (!object.contains(QLatin1String("status")) || !object.contains(QLatin1String("days")))
        return QStringLiteral("%1, but a key is missing").arg(shape);

    DateTime read;
    if (!readValue(object.value(QLatin1String("status")), read.status).isEmpty() ||
        read.status < DateTime::Valid || read.status > DateTime::Null)
        return QStringLiteral("status: expected 0 (valid), 1 (invalid) or 2 (null)");
    const QString daysReason = readValue(object.value(QLatin1String("days")), read.days);
    if (!daysReason.isEmpty())
        return QStringLiteral("days: %1").arg(daysReason);
    dateTime = read;
    return {};
}

} // namespace korvane
