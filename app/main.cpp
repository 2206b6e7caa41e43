#include "shell/CMainFrame.h"
#include "shell/DataFolderLock.h"
#include "shell/Startup.h"
#include "store/RecordStore.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brisolt"));
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    QApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));

    korvane::RecordStore store;
    korvane::DataFolderLock lock;
    if (!korvane::Startup::run(store, lock).proceed)
        return 0;

    korvane::CMainFrame frame(store, lock);
    frame.setWindowTitle(QStringLiteral("Korvane"));
    frame.showMaximized();
    return app.exec();
}
