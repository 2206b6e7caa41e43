#include "CliApp.h"

namespace korvane {

void CliApp::exportDocx(const QByteArray&, const QString&)
{
    fail(BadUsage, QStringLiteral("this export is not available yet"));
}

void CliApp::exportInvoiceDocx(const QByteArray&, const QString&)
{
    fail(BadUsage, QStringLiteral("this export is not available yet"));
}

} // namespace korvane
