#pragma once

#include "reports/PageWriter.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

namespace korvane {

class RecordStore;

/** The invoice letter: shown with its action links, printed, or exported to an HTML file. */
class InvoiceReport
{
public:
    /**
     * The letter of an invoice; an unknown invoice gives a letter with empty fields. With `showLinks`
     * the print, Word, HTML and mail links head it; with either flag the signature image is named by
     * its full path, with neither (the HTML export) as "Images\" + its file name.
     */
    static QString letter(const RecordStore& store, const QByteArray& invoiceIdentifier, bool showLinks,
                          bool forPrint, const QLocale& locale = QLocale::system());

    /** Writes the letter with its links to "Invoice.html" in the program's folder, to be shown. */
    static PageResult write(const RecordStore& store, const QByteArray& invoiceIdentifier,
                            const QLocale& locale = QLocale::system());

    /** Writes the letter for printing to "InvoiceTemp.html" in the program's folder. */
    static PageResult writeForPrint(const RecordStore& store, const QByteArray& invoiceIdentifier,
                                    const QLocale& locale = QLocale::system());

    /** The symbol of a currency text such as "$-US DOLLAR": the part before the first "-", else "". */
    static QString currencySymbol(const QString& currencyText);

    /** The name of a currency text: the part after the first "-", else the whole text. */
    static QString currencyName(const QString& currencyText);

    /**
     * The sender's name: the first line of the from address without its line break (a carriage
     * return before the line feed goes too), or the whole address when it has no line feed after
     * its first character.
     */
    static QString firstLine(const QString& fromAddress);

    /** The file name of a signature image path: the part after its last "\" or "/". */
    static QString imageFileName(const QString& path);
};

} // namespace korvane
