#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace korvane {

/** The shared list of currency formats a project can pick from, kept in the file "currency.cur". */
class CurrencyList
{
public:
    /** The formats written to a new file: "$", "Rs.", "#" and "*", each followed by a line feed. */
    static QByteArray defaultText();

    /** The list's file in the program's folder. */
    static QString defaultPath();

    /**
     * Reads the list from a file; a file that can't be read is created with the default list,
     * which is then used (a failure to create it is reported in `error`).
     */
    static CurrencyList load(const QString& path = defaultPath(), QString* error = nullptr);

    /** Makes a list from a file's bytes; damaged bytes give the default formats. */
    static CurrencyList fromFileBytes(const QByteArray& bytes, const QString& path = QString());

    /** Makes a list from the file's one text: every piece before a line feed is a row. */
    static CurrencyList fromText(const QByteArray& text, const QString& path = QString());

    /** The formats in list order. */
    const QList<QByteArray>& rows() const { return m_rows; }

    /** The file the list is saved to. */
    const QString& path() const { return m_path; }

    /** True when a row equals the text exactly. */
    bool contains(const QByteArray& text) const;

    /**
     * Returns the index of the first row equal to the text, appending the text as a new row when
     * none is; an empty text changes nothing and gives -1.
     */
    qsizetype findOrAdd(const QByteArray& text);

    /** The file's one text: every row with blanks trimmed at both ends, followed by a line feed. */
    QByteArray toText() const;

    /** The bytes of the list's file. */
    QByteArray fileBytes() const;

    /** Writes the list to its file anew; returns the error text, empty on success. */
    QString save() const;

private:
    QList<QByteArray> m_rows;
    QString m_path;
};

} // namespace korvane
