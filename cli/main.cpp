#include "CliApp.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <memory>

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
    std::unique_ptr<QCoreApplication> app;
    if (korvane::CliApp::drawsPages(arguments)) {
        // Laying out text needs fonts, which Qt finds through a platform; no window is ever shown.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // What the platform says on starting (a desktop session it does not find) is not the
        // command's business: standard error is kept for the command's own messages.
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        app = std::make_unique<QGuiApplication>(argc, argv);
        qInstallMessageHandler(previous);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Brisolt"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));

    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return korvane::CliApp(in, out, err).run(arguments);
}
