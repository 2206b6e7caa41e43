#include "CliApp.h"

namespace korvane {

int CliApp::projects(const QList<QByteArray>&)
{
    fail(BadUsage, QStringLiteral("the \"projects\" command is not available yet"));
}

int CliApp::tree(const QList<QByteArray>&)
{
    fail(BadUsage, QStringLiteral("the \"tree\" command is not available yet"));
}

int CliApp::graph(const QList<QByteArray>&)
{
    fail(BadUsage, QStringLiteral("the \"graph\" command is not available yet"));
}

} // namespace korvane
