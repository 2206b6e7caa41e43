#pragma once

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QPageSize>
#include <QString>

class QTextDocument;

namespace korvane {

class RecordStore;

/** Pages written as PDF files: real text, the pictures embedded, numbered pages on the locale's paper. */
class PdfExport
{
public:
    /** Letter where the locale measures in US units, A4 everywhere else. */
    static QPageSize::PageSizeId paperFor(const QLocale& locale);

    /**
     * Lays the document out on pages of the locale's paper within fixed margins, numbers every page
     * at its foot and writes them to `path`. Returns an empty text, or the reason it failed.
     */
    static QString write(QTextDocument& document, const QString& path, const QString& title,
                         const QLocale& locale = QLocale::system());

    /** The print page of the projects with the modules of `moduleNumber` (see PrintReport). */
    static QString projects(const RecordStore& store, const QList<QByteArray>& projectIdentifiers,
                            int moduleNumber, const QString& path, const QLocale& locale = QLocale::system());

    /** The invoice letter as it is printed, without its action links. */
    static QString invoice(const RecordStore& store, const QByteArray& invoiceIdentifier, const QString& path,
                           const QLocale& locale = QLocale::system());
};

} // namespace korvane
