#pragma once

#include "reports/DocxWriter.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

namespace korvane {

class RecordStore;
struct InvoiceRecord;

/** The Word form of an invoice: the letter typed in Verdana 9 pt into a .docx document. */
class WordInvoice
{
public:
    /** The invoice date is written as `locale` writes it (the system's, as the desktop shows it). */
    explicit WordInvoice(const RecordStore& store, const QLocale& locale = QLocale::system());

    /** The typed letter; an unknown identifier gives the letter with empty fields. */
    DocxWriter document(const QByteArray& invoiceId) const;

    /** Writes the letter to a .docx file whole; returns "" or the reason it could not. */
    QString write(const QByteArray& invoiceId, const QString& path) const;

    /**
     * The sender's name that the letter signs "For": the from address up to its first line break
     * (a carriage return before the line feed left out), or the whole text when it has none.
     */
    static QString senderName(const QString& fromAddress);

    /** The symbol of a currency text "$-US DOLLAR": the part before the first "-", empty without one. */
    static QString currencySymbol(const QString& currencyText);
    /** The name of a currency text: the part after the first "-", the whole text without one. */
    static QString currencyName(const QString& currencyText);

private:
    const RecordStore& m_store;
    const QLocale m_locale;
};

} // namespace korvane
