#include "CliApp.h"

namespace korvane {

void CliApp::exportXlsx(const QByteArray&, const QString&)
{
    fail(BadUsage, QStringLiteral("this export is not available yet"));
}

} // namespace korvane
