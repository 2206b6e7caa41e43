#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QWidget;

namespace korvane {

class PagePrinter;
class RecordStore;

/** The actions of an invoice letter: print preview, e-mail draft, HTML, Word and PDF export. */
class InvoiceActions : public QObject
{
    Q_OBJECT

public:
    /** Dialogs, messages and the print preview appear over `window`. */
    InvoiceActions(const RecordStore& store, QWidget* window);

    /** Writes the letter to "InvoiceTemp.html" and opens its print preview after the print timer. */
    void print(const QByteArray& invoiceId);

    /** Starts a new message in the user's mail program with the invoice's subject and body. */
    void mail(const QByteArray& invoiceId);

    /** Writes the letter to a chosen HTML file, its signature picture beside it, and opens it. */
    void exportHtml(const QByteArray& invoiceId);

    /** Writes the letter to a Word document (.docx) of the user's choice and opens it. */
    void exportWord(const QByteArray& invoiceId);

    /** Writes the letter as printed (without its links) to a PDF file of the user's choice and opens it. */
    void exportPdf(const QByteArray& invoiceId);

    /** The printer that shows the invoice's print preview. */
    PagePrinter& printer() { return *m_printer; }

    /** The file name the save dialogs offer: "<task> <invoice number>", fit for a file name. */
    QString suggestedName(const QByteArray& invoiceId) const;

private:
    QString askPath(const QByteArray& invoiceId, const QString& caption, const QString& extension,
                    const QString& filter) const;

    const RecordStore& m_store;
    QWidget* m_window;
    PagePrinter* m_printer;
};

} // namespace korvane
