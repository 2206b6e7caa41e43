#include "CliApp.h"

namespace korvane {

void CliApp::exportHtml(const QByteArray&, const QString&)
{
    fail(BadUsage, QStringLiteral("this export is not available yet"));
}

void CliApp::exportInvoiceHtml(const QByteArray&, const QString&)
{
    fail(BadUsage, QStringLiteral("this export is not available yet"));
}

} // namespace korvane
