#include "reports/PageLink.h"

namespace korvane {

using namespace Qt::Literals::StringLiterals;

PageLink PageLink::parse(const QString& target)
{
    const QString url = target.trimmed();
    PageLink link;
    if (url == "invoice::print"_L1)
        link.action = Action::PrintShownInvoice;
    else if (url == "invoice::MailTo"_L1)
        link.action = Action::MailShownInvoice;
    else if (url == "invoice::WordExpo"_L1)
        link.action = Action::WordExportShownInvoice;
    else if (url == "invoice::HTMLExpo"_L1)
        link.action = Action::HtmlExportShownInvoice;
    else if (url.contains("print::"_L1)) {
        link.action = Action::PrintListedInvoice;
        link.invoiceIdentifier = QString(url).remove("print::"_L1);
    }
    return link;
}

} // namespace korvane
