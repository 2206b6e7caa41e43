#include "CliApp.h"

#include <QFile>

namespace korvane {

int CliApp::exportTo(const QList<QByteArray>& args)
{
    static const char* const usage =
        "export html|docx|xlsx|ics PROJECT_ID FILE | export ics --all FILE | export invoice-html|invoice-docx "
        "INVOICE_ID FILE | export pdf PROJECT_ID FILE [--modules LIST] | export "
        "invoice-pdf INVOICE_ID FILE";
    if (!args.isEmpty() && (args[0] == "pdf" || args[0] == "invoice-pdf")) {
        if (args.size() != 3 && !(args[0] == "pdf" && args.size() == 5 && args[3] == "--modules"))
            usageLine(usage);
        exportPdf(args);
        return Success;
    }
    expectCount(args, 3, usage);
    if (args[0] == "ics") {
        // An empty identifier stands for every project: no record has one.
        exportIcs(args[1] == "--all" ? QByteArray() : args[1], QFile::decodeName(args[2]));
        return Success;
    }
    const QByteArray& format = args[0];
    const QByteArray& identifier = args[1];
    const QString file = QFile::decodeName(args[2]);
    if (format == "html")
        exportHtml(identifier, file);
    else if (format == "docx")
        exportDocx(identifier, file);
    else if (format == "xlsx")
        exportXlsx(identifier, file);
    else if (format == "invoice-html")
        exportInvoiceHtml(identifier, file);
    else if (format == "invoice-docx")
        exportInvoiceDocx(identifier, file);
    else
        usageLine(usage);
    return Success;
}

} // namespace korvane
