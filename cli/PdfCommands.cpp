#include "CliApp.h"

#include "records/Text.h"
#include "reports/PrintReport.h"
#include "reports/pdf/PdfExport.h"
#include "store/RecordStore.h"

#include <QFile>

namespace korvane {

bool CliApp::drawsPages(const QList<QByteArray>& arguments)
{
    qsizetype at = 0;
    while (at < arguments.size() && arguments[at].startsWith('-'))
        at += arguments[at] == "--data" ? 2 : 1;
    return at + 1 < arguments.size() && arguments[at] == "export" &&
           (arguments[at + 1] == "pdf" || arguments[at + 1] == "invoice-pdf");
}

void CliApp::exportPdf(const QList<QByteArray>& args)
{
    const QByteArray& identifier = args[1];
    const QString file = QFile::decodeName(args[2]);
    QString error;
    if (args[0] == "pdf") {
        if (!store().projects().contains(identifier))
            fail(InvalidInput,
                 QStringLiteral("no project with the identifier \"%1\"").arg(displayText(identifier)));
        const int modules = args.size() == 5 ? modulesArgument(args[4]) : PrintReport::allModules();
        error = PdfExport::projects(store(), {identifier}, modules, file);
    } else {
        if (!store().invoices().contains(identifier))
            fail(InvalidInput,
                 QStringLiteral("no invoice with the identifier \"%1\"").arg(displayText(identifier)));
        error = PdfExport::invoice(store(), identifier, file);
    }
    if (!error.isEmpty())
        fail(InvalidInput, error);
}

} // namespace korvane
