#include "CliApp.h"

#include "records/Text.h"
#include "reports/DetailsReport.h"
#include "reports/HtmlExport.h"
#include "reports/InvoiceList.h"
#include "reports/InvoiceReport.h"
#include "reports/PrintReport.h"
#include "store/RecordStore.h"

namespace korvane {

namespace {

const char* const kReportUsage =
    "report details|invoices|export PROJECT_ID | report invoice INVOICE_ID [--links] "
    "[--print] | report print --modules LIST PROJECT_ID...";

} // namespace

int CliApp::report(const QList<QByteArray>& args)
{
    if (args.size() < 2)
        usageLine(kReportUsage);
    const QByteArray& what = args[0];
    QString page;
    if (what == "details" || what == "export") {
        expectCount(args, 2, kReportUsage);
        // Both pages have their own text for a project that does not exist.
        page = what == "details" ? DetailsReport::generate(store(), args[1])
                                 : HtmlExport::projectText(store(), args[1]);
    } else if (what == "invoices") {
        expectCount(args, 2, kReportUsage);
        if (!store().projects().contains(args[1]))
            fail(InvalidInput,
                 QStringLiteral("no project with the identifier \"%1\"").arg(displayText(args[1])));
        page = InvoiceList::generate(store(), args[1]);
    } else if (what == "invoice") {
        bool links = false;
        bool forPrint = false;
        for (const QByteArray& flag : args.mid(2)) {
            if (flag == "--links")
                links = true;
            else if (flag == "--print")
                forPrint = true;
            else
                usageLine(kReportUsage);
        }
        // The letter of an unknown invoice would be empty fields under today's date: a mistyped
        // identifier, not a letter anyone wants.
        if (!store().invoices().contains(args[1]))
            fail(InvalidInput,
                 QStringLiteral("no invoice with the identifier \"%1\"").arg(displayText(args[1])));
        page = InvoiceReport::letter(store(), args[1], links, forPrint);
    } else if (what == "print") {
        if (args.size() < 4 || args[1] != "--modules")
            usageLine(kReportUsage);
        // An unknown project gets the page's own "No Project Is Selected" part, as in the program.
        page = PrintReport::page(store(), args.mid(3), modulesArgument(args[2]));
    } else {
        usageLine(kReportUsage);
    }
    m_out.write(page.toUtf8());
    return Success;
}

int CliApp::modulesArgument(const QByteArray& list)
{
    QList<PrintReport::Module> modules;
    if (list.isEmpty())
        return 0;
    for (const QByteArray& name : list.split(',')) {
        if (name == "leaders")
            modules.append(PrintReport::Module::Leaders);
        else if (name == "task")
            modules.append(PrintReport::Module::Task);
        else if (name == "meeting")
            modules.append(PrintReport::Module::Meeting);
        else if (name == "payment")
            modules.append(PrintReport::Module::PaymentTrack);
        else
            usageError(QStringLiteral("unknown module \"%1\" (leaders, task, meeting or payment)")
                           .arg(QString::fromLocal8Bit(name)));
    }
    return PrintReport::moduleNumber(modules);
}

} // namespace korvane
