#pragma once

#include "records/Records.h"
#include "records/Text.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>
#include <variant>

namespace korvane {

/**
 * Records as korvane-cli prints and reads them: one JSON object per record, keys in the order of
 * the record's field table. Writing is done by hand because QJsonObject sorts its keys.
 */
class JsonRecords
{
public:
    /** A JSON string holding the text, escaped as JSON requires; other characters stay UTF-8. */
    static QByteArray quoted(const QString& text);
    /** A stored text as a JSON string, decoded as the program displays it. */
    static QByteArray text(const QByteArray& bytes) { return quoted(displayText(bytes)); }
    static QByteArray integer(std::int32_t value) { return QByteArray::number(value); }
    /** A number that reads back to the same double; NaN and infinities, which JSON lacks, as null. */
    static QByteArray real(double value);
    /** A date-time as {"status": S, "days": D}. */
    static QByteArray dateTime(const DateTime& value);

    /** One record as a single-line JSON object, without a line feed; in-memory-only fields are left out. */
    template <class R> static QByteArray toJson(const R& record)
    {
        QByteArray line = "{";
        for (const auto& field : R::fields()) {
            if (!field.stored)
                continue;
            if (line.size() > 1)
                line += ", ";
            line += quoted(QLatin1String(field.name));
            line += ": ";
            line += std::visit([&](auto member) { return valueText(record.*member); }, field.member);
        }
        line += '}';
        return line;
    }

    /**
     * Parses text that must hold exactly one JSON object. Returns std::nullopt and sets `error`
     * when it is not valid JSON or not an object.
     */
    static std::optional<QJsonObject> parseObject(const QByteArray& json, QString& error);

    /**
     * Sets the fields the object names on `record`, leaving the others as they are. Every key must
     * name a printed field, and every value must have its field's type; otherwise the reason naming
     * the field is returned and `record` may be half changed. Returns "" on success. A text equal to
     * the display of the field's current bytes keeps those bytes (Windows-1252 texts stay as stored).
     */
    template <class R> static QString fromJson(const QJsonObject& object, R& record)
    {
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!isPrintedField<R>(it.key()))
                return QStringLiteral("unknown field \"%1\"").arg(it.key());
        }
        for (const auto& field : R::fields()) {
            if (!field.stored)
                continue;
            const QJsonValue value = object.value(QLatin1String(field.name));
            if (value.isUndefined())
                continue;
            const QString reason =
                std::visit([&](auto member) { return readValue(value, record.*member); }, field.member);
            if (!reason.isEmpty())
                return QStringLiteral("field \"%1\": %2").arg(QLatin1String(field.name), reason);
        }
        return {};
    }

private:
    static QByteArray valueText(const QByteArray& bytes) { return text(bytes); }
    static QByteArray valueText(const DateTime& value) { return dateTime(value); }
    static QByteArray valueText(std::int32_t value) { return integer(value); }
    static QByteArray valueText(double value) { return real(value); }

    // Each returns "" when the value fits the field, otherwise why it does not.
    static QString readValue(const QJsonValue& value, QByteArray& text);
    static QString readValue(const QJsonValue& value, DateTime& dateTime);
    static QString readValue(const QJsonValue& value, std::int32_t& integer);
    static QString readValue(const QJsonValue& value, double& real);

    template <class R> static bool isPrintedField(const QString& key)
    {
        for (const auto& field : R::fields()) {
            if (field.stored && key == QLatin1String(field.name))
                return true;
        }
        return false;
    }
};

} // namespace korvane
