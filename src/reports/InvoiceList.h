#pragma once

#include "reports/PageWriter.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

namespace korvane {

class RecordStore;

/** The list of a project's invoices, each with a link that prints it. */
class InvoiceList
{
public:
    /** The page text, invoices in the invoice map's order; an unknown project shows an empty name. */
    static QString generate(const RecordStore& store, const QByteArray& projectIdentifier,
                            const QLocale& locale = QLocale::system());

    /** Generates the page and writes it to "InvoiceTemp.html" in the program's folder. */
    static PageResult write(const RecordStore& store, const QByteArray& projectIdentifier,
                            const QLocale& locale = QLocale::system());
};

} // namespace korvane
