#include "integration/VCardReader.h"

#include "integration/ContentLines.h"
#include "records/Text.h"

#include <QSet>
#include <limits>
#include <utility>

namespace korvane {

namespace {

// vCard 2.1 may carry a card inside a card (AGENT); deeper nesting than this is not a contact file.
constexpr int kMaxNesting = 8;

struct Property
{
    QByteArray name;
    /** Parameter names in upper case; a vCard 2.1 bare parameter ("HOME") counts as a TYPE. */
    QList<std::pair<QByteArray, QByteArray>> params;
    QByteArray value;

    bool hasParam(const QByteArray& name, const QByteArray& value) const
    {
        for (const auto& [n, v] : params) {
            if (n == name && v.compare(value, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }

    QByteArray param(const QByteArray& name) const
    {
        for (const auto& [n, v] : params) {
            if (n == name)
                return v;
        }
        return {};
    }

    bool isQuotedPrintable() const
    {
        return hasParam("ENCODING", "QUOTED-PRINTABLE") || hasParam("TYPE", "QUOTED-PRINTABLE");
    }

    bool isBase64() const
    {
        return hasParam("ENCODING", "B") || hasParam("ENCODING", "BASE64") || hasParam("TYPE", "BASE64");
    }
};

/** Splits a content line into name, parameters and raw value; false when the line has no value. */
bool parseProperty(const QByteArray& line, Property& property)
{
    const qsizetype start = ContentLines::valueStart(line);
    if (start < 0)
        return false;
    property = Property{};
    property.name = ContentLines::name(line);
    property.value = line.mid(start);

    const QByteArray head = line.left(start - 1);
    QList<QByteArray> parts;
    bool quoted = false;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= head.size(); ++i) {
        if (i < head.size() && head[i] == '"')
            quoted = !quoted;
        if (i == head.size() || (head[i] == ';' && !quoted)) {
            parts.append(head.mid(from, i - from));
            from = i + 1;
        }
    }
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray part = parts[i].trimmed();
        if (part.isEmpty())
            continue;
        const qsizetype equals = part.indexOf('=');
        if (equals < 0) {
            property.params.append({"TYPE", part});
            continue;
        }
        QByteArray value = part.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        property.params.append({part.left(equals).trimmed().toUpper(), value});
    }
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(const QByteArray& value)
{
    QByteArray decoded;
    decoded.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '=' && i + 2 < value.size() && hexDigit(value[i + 1]) >= 0 &&
            hexDigit(value[i + 2]) >= 0) {
            decoded.append(char(hexDigit(value[i + 1]) * 16 + hexDigit(value[i + 2])));
            i += 2;
        } else {
            decoded.append(value[i]);
        }
    }
    return decoded;
}

/** The value's bytes with its transfer encoding undone and a single-byte character set turned into UTF-8. */
QByteArray decodedValue(const Property& property)
{
    QByteArray value = property.value;
    if (property.isQuotedPrintable())
        value = decodeQuotedPrintable(value);
    else if (property.isBase64())
        value = QByteArray::fromBase64(value);
    const QByteArray charset = property.param("CHARSET").toLower();
    static const QSet<QByteArray> singleByte{"iso-8859-1", "latin1", "windows-1252", "cp1252", "us-ascii"};
    // Such texts are stored as UTF-8 like everything Korvane writes; Windows-1252 covers Latin-1's letters.
    if (singleByte.contains(charset) && !isValidUtf8(value))
        value = storedText(displayText(value));
    return value;
}

/** Splits at separators that no backslash escapes; the parts keep their escapes. */
QList<QByteArray> splitUnescaped(const QByteArray& value, char separator)
{
    QList<QByteArray> parts;
    QByteArray part;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            part.append(value[i]);
            part.append(value[++i]);
        } else if (value[i] == separator) {
            parts.append(part);
            part.clear();
        } else {
            part.append(value[i]);
        }
    }
    parts.append(part);
    return parts;
}

QByteArray unescape(const QByteArray& value)
{
    QByteArray text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 >= value.size()) {
            text.append(value[i]);
            continue;
        }
        const char next = value[++i];
        if (next == 'n' || next == 'N')
            text.append('\n');
        else if (next == '\\' || next == ',' || next == ';' || next == ':')
            text.append(next);
        else // not an escape the formats know: keep both characters rather than lose one
            text.append('\\').append(next);
    }
    return text;
}

/** One part of a structured value: its comma-separated values (several middle names) joined by blanks. */
QByteArray listText(const QByteArray& part)
{
    QByteArrayList values;
    for (const QByteArray& value : splitUnescaped(part, ',')) {
        const QByteArray text = unescape(value).trimmed();
        if (!text.isEmpty())
            values.append(text);
    }
    return values.join(' ');
}

struct Telephone
{
    QByteArray number;
    QSet<QByteArray> types;
    int preference = std::numeric_limits<int>::max();
};

Telephone telephone(const Property& property)
{
    Telephone tel;
    for (const auto& [name, value] : property.params) {
        if (name == "TYPE") {
            for (const QByteArray& type : value.split(','))
                tel.types.insert(type.trimmed().toLower());
        } else if (name == "PREF") {
            bool ok = false;
            const int rank = value.toInt(&ok);
            tel.preference = ok ? rank : 1;
        }
    }
    if (tel.types.contains("pref"))
        tel.preference = std::min(tel.preference, 1);
    QByteArray number = unescape(decodedValue(property)).trimmed();
    if (number.startsWith("tel:") || number.startsWith("TEL:"))
        number = number.mid(4).trimmed();
    tel.number = number;
    return tel;
}

/** The kind of an X- telephone type ("x-evolution-assistant" is an assistant's number). */
bool hasExtendedType(const Telephone& tel, std::initializer_list<const char*> names)
{
    for (QByteArray type : tel.types) {
        for (const char* prefix : {"x-evolution-", "x-"}) {
            if (type.startsWith(prefix)) {
                type = type.mid(qstrlen(prefix));
                break;
            }
        }
        for (const char* name : names) {
            if (type == name)
                return true;
        }
    }
    return false;
}

void setFirst(QByteArray& slot, const QByteArray& number)
{
    if (slot.isEmpty())
        slot = number;
}

/** A card being read: the contact so far and what is only settled at END:VCARD. */
struct Card
{
    ContactItem item;
    int line = 0;
    bool hasName = false;
    bool hasTitle = false;
    bool hasOrganisation = false;
    QByteArray formattedName;
    QList<Telephone> telephones;

    void add(const Property& property)
    {
        const QByteArray& name = property.name;
        if (name == "N" && !hasName) {
            const QList<QByteArray> parts = splitUnescaped(decodedValue(property), ';');
            auto part = [&](qsizetype i) { return i < parts.size() ? listText(parts[i]) : QByteArray(); };
            item.lastName = part(0);
            item.firstName = part(1);
            item.middleName = part(2);
            item.title = part(3);
            // Address books write "N:;;;;" for a company card; its FN then names it.
            hasName = !(item.lastName + item.firstName + item.middleName + item.title).isEmpty();
        } else if (name == "FN" && formattedName.isEmpty()) {
            formattedName = unescape(decodedValue(property)).trimmed();
        } else if (name == "TITLE" && !hasTitle) {
            item.jobTitle = unescape(decodedValue(property)).trimmed();
            hasTitle = true;
        } else if (name == "ORG" && !hasOrganisation) {
            const QList<QByteArray> parts = splitUnescaped(decodedValue(property), ';');
            item.department = parts.size() > 1 ? unescape(parts[1]).trimmed() : QByteArray();
            hasOrganisation = true;
        } else if (name == "TEL") {
            Telephone tel = telephone(property);
            if (!tel.number.isEmpty())
                telephones.append(std::move(tel));
        }
    }

    ContactItem finish()
    {
        if (!hasName) {
            item.title.clear();
            item.firstName = formattedName;
            item.middleName.clear();
            item.lastName.clear();
        }
        QList<QByteArray> home;
        QList<QByteArray> work;
        QByteArray untyped;
        const Telephone* preferred = nullptr;
        for (const Telephone& tel : std::as_const(telephones)) {
            if (tel.preference != std::numeric_limits<int>::max() &&
                (!preferred || tel.preference < preferred->preference))
                preferred = &tel;
            const auto has = [&](const char* type) { return tel.types.contains(type); };
            if (has("fax")) {
                if (has("home"))
                    setFirst(item.homeFaxNumber, tel.number);
                else if (has("work"))
                    setFirst(item.businessFaxNumber, tel.number);
            } else if (has("cell")) {
                setFirst(item.mobileTelephoneNumber, tel.number);
            } else if (has("pager")) {
                setFirst(item.pagerNumber, tel.number);
            } else if (has("car")) {
                setFirst(item.carTelephoneNumber, tel.number);
            } else if (hasExtendedType(tel, {"assistant"})) {
                setFirst(item.assistantTelephoneNumber, tel.number);
            } else if (hasExtendedType(tel, {"callback"})) {
                setFirst(item.callbackTelephoneNumber, tel.number);
            } else if (hasExtendedType(tel, {"company", "companymain", "company-main", "main"})) {
                setFirst(item.companyMainTelephoneNumber, tel.number);
            } else if (has("home")) {
                home.append(tel.number);
            } else if (has("work")) {
                work.append(tel.number);
            } else if ((tel.types - QSet<QByteArray>{"voice", "pref", ""}).isEmpty() && untyped.isEmpty()) {
                untyped = tel.number;
            }
        }
        item.homeTelephoneNumber = home.value(0);
        item.home2TelephoneNumber = home.value(1);
        item.businessTelephoneNumber = work.value(0);
        item.business2TelephoneNumber = work.value(1);
        item.primaryTelephoneNumber = preferred ? preferred->number : untyped;
        return item;
    }
};

QString lineError(int number, const char* reason)
{
    return QStringLiteral("line %1: %2").arg(number).arg(QLatin1String(reason));
}

} // namespace

QString VCardReader::read(const QByteArray& text, QList<ContactItem>& contacts)
{
    contacts.clear();
    const QList<ContentLine> lines = ContentLines::unfold(text);
    QList<ContactItem> read;
    Card card;
    int depth = 0;
    bool inBase64 = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ContentLine& line = lines[i];
        if (line.text.trimmed().isEmpty()) {
            inBase64 = false;
            continue;
        }
        const QByteArray name = ContentLines::name(line.text);
        const qsizetype start = ContentLines::valueStart(line.text);
        const QByteArray value = start < 0 ? QByteArray() : line.text.mid(start).trimmed().toUpper();
        if (name == "BEGIN" && value == "VCARD") {
            if (depth == kMaxNesting)
                return lineError(line.number, "cards are nested too deeply");
            if (depth++ == 0) {
                card = Card{};
                card.line = line.number;
            }
            inBase64 = false;
            continue;
        }
        if (name == "END" && value == "VCARD") {
            if (depth == 0)
                return lineError(line.number, "END:VCARD without BEGIN:VCARD");
            if (--depth == 0) {
                if (read.size() == MaxCards)
                    return QStringLiteral("holds more than %1 cards").arg(MaxCards);
                read.append(card.finish());
            }
            inBase64 = false;
            continue;
        }
        if (depth == 0) {
            if (read.isEmpty())
                return QStringLiteral("is not a vCard file (line %1 is not BEGIN:VCARD)").arg(line.number);
            return lineError(line.number, "text outside BEGIN:VCARD and END:VCARD");
        }
        if (start < 0) {
            // vCard 2.1 writers do not always indent the lines of a base64 value such as a photo.
            if (inBase64)
                continue;
            return lineError(line.number, "not a vCard property line (it has no colon)");
        }
        if (depth > 1)
            continue; // a card inside the card (AGENT) is not a contact of its own
        Property property;
        parseProperty(line.text, property);
        // A quoted-printable value ending with "=" goes on in the next line.
        if (property.isQuotedPrintable()) {
            while (property.value.endsWith('=') && i + 1 < lines.size()) {
                property.value.chop(1);
                property.value += lines[++i].text;
            }
        }
        inBase64 = property.isBase64();
        card.add(property);
    }
    if (depth > 0)
        return QStringLiteral("the card beginning on line %1 has no END:VCARD").arg(card.line);
    contacts = std::move(read);
    return {};
}

} // namespace korvane
