#include "CliApp.h"

#include <QCoreApplication>
#include <QFile>
#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    // Arguments stay bytes: identifiers and texts are compared and stored byte for byte.
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
#ifdef SIGPIPE
    // A reader that stops early (korvane-cli list task | head) ends the output, not the program.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brisolt"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));

    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return korvane::CliApp(in, out, err).run(arguments);
}
