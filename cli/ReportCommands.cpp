#include "CliApp.h"

namespace korvane {

int CliApp::report(const QList<QByteArray>&)
{
    fail(BadUsage, QStringLiteral("the \"report\" command is not available yet"));
}

} // namespace korvane
