#include "store/CurrencyList.h"

#include "records/Archive.h"
#include "store/ProgramFolder.h"
#include "store/SafeFile.h"

namespace korvane {

namespace {

QByteArray textFileBytes(const QByteArray& text)
{
    ArchiveWriter writer;
    writer.writeText(text);
    return writer.data();
}

} // namespace

QByteArray CurrencyList::defaultText()
{
    return QByteArrayLiteral("$\nRs.\n#\n*\n");
}

QString CurrencyList::defaultPath()
{
    return programFolder() + QStringLiteral("/currency.cur");
}

CurrencyList CurrencyList::load(const QString& path, QString* error)
{
    QByteArray bytes;
    if (!SafeFile::read(path, bytes)) {
        const QString written = SafeFile::write(path, textFileBytes(defaultText()));
        if (error)
            *error = written;
        return fromText(defaultText(), path);
    }
    if (error)
        error->clear();
    return fromFileBytes(bytes, path);
}

CurrencyList CurrencyList::fromFileBytes(const QByteArray& bytes, const QString& path)
{
    QByteArray text;
    ArchiveReader reader(bytes);
    // A damaged file offers the default formats; it is replaced only when the list is saved.
    if (!reader.readText(text))
        text = defaultText();
    return fromText(text, path);
}

CurrencyList CurrencyList::fromText(const QByteArray& text, const QString& path)
{
    CurrencyList list;
    list.m_path = path;
    qsizetype start = 0;
    for (qsizetype end = text.indexOf('\n'); end >= 0; end = text.indexOf('\n', start)) {
        list.m_rows.append(text.mid(start, end - start));
        start = end + 1;
    }
    return list;
}

bool CurrencyList::contains(const QByteArray& text) const
{
    return m_rows.contains(text);
}

qsizetype CurrencyList::findOrAdd(const QByteArray& text)
{
    if (text.isEmpty())
        return -1;
    const qsizetype found = m_rows.indexOf(text);
    if (found >= 0)
        return found;
    m_rows.append(text);
    return m_rows.size() - 1;
}

QByteArray CurrencyList::toText() const
{
    QByteArray text;
    for (const QByteArray& row : m_rows)
        text += row.trimmed() + '\n';
    return text;
}

QByteArray CurrencyList::fileBytes() const
{
    return textFileBytes(toText());
}

QString CurrencyList::save() const
{
    return SafeFile::write(m_path, fileBytes());
}

} // namespace korvane
