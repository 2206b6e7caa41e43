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

private:
    const RecordStore& m_store;
    const QLocale m_locale;
};

} // namespace korvane
