#include "reports/InvoiceList.h"

#include "reports/HtmlText.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"

namespace korvane {

using namespace Qt::Literals::StringLiterals;

QString InvoiceList::generate(const RecordStore& store, const QByteArray& projectIdentifier,
                              const QLocale& locale)
{
    using HtmlText::record;
    const ProjectRecord* project = store.projects().find(projectIdentifier);

    QString page;
    page += "<html>"_L1;
    page += "<body>"_L1;
    page += "<br><center><b>Invoice Report</b></center>"_L1;
    page += "<br><center><b>Project Name : "_L1 + (project ? record(project->name) : QString()) +
            "</b></center><br>"_L1;
    page += "<ul>"_L1;
    for (const InvoiceRecord* invoice : store.ofProject<InvoiceRecord>(projectIdentifier)) {
        page += R"(<li><a title="Print Invoice" href="print::)"_L1;
        page += record(invoice->identifier);
        page += R"("><img border="0" src="Images/print16.bmp" width="20" height="20"></a> &nbsp;)"_L1;
        page += record(invoice->task) + "("_L1 + record(invoice->invoiceNumber) + ") - "_L1 +
                DisplayFormat::shortDate(invoice->invoiceDate, locale) + "</li>"_L1;
    }
    page += "</ul>"_L1;
    page += "</body>"_L1;
    page += "</html>"_L1;
    return page;
}

PageResult InvoiceList::write(const RecordStore& store, const QByteArray& projectIdentifier,
                              const QLocale& locale)
{
    return PageWriter::write(PageFile::InvoiceTemp, generate(store, projectIdentifier, locale));
}

} // namespace korvane
