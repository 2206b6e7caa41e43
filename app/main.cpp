#include "shell/CMainFrame.h"
#include "shell/ComboBoxAccessible.h"
#include "shell/DataFolderLock.h"
#include "shell/Startup.h"
#include "store/RecordStore.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brisolt"));
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    QApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));
    // Lets the desktop match the windows to the installed desktop entry (its icon and name).
    QGuiApplication::setDesktopFileName(QStringLiteral(KORVANE_APP_ID));
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Keeps track of small projects."));
    options.addHelpOption();
    options.addVersionOption();
    options.process(app);
    korvane::ComboBoxAccessible::install();

    korvane::RecordStore store;
    korvane::DataFolderLock lock;
    if (!korvane::Startup::run(store, lock).proceed)
        return 0;

    korvane::CMainFrame frame(store, lock);
    frame.setWindowTitle(QStringLiteral("Korvane"));
    frame.showMaximized();
    return app.exec();
}
