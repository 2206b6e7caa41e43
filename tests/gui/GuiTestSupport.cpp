#include "GuiTestSupport.h"

#include "records/RecordCodec.h"
#include "shell/UserDialogs.h"
#include "store/DemoData.h"
#include "store/ProgramFolder.h"
#include "store/RecordStore.h"

#include <QDir>
#include <QLocale>
#include <QSettings>

namespace korvane::test {

GuiWorld::GuiWorld()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    UserDialogs::setTestMode(true);
    // Every test program runs with its own XDG folders (set by CMake); start each world afresh.
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brisolt"), QStringLiteral("Korvane"))
        .clear();
    QDir().mkpath(dataFolder());
    QDir().mkpath(programFolder());
    setProgramFolderForTesting(programFolder());
    m_store = std::make_unique<RecordStore>(dataFolder());
    m_store->LoadAll();
}

GuiWorld::~GuiWorld()
{
    setProgramFolderForTesting({});
    UserDialogs::setTestMode(false);
}

QString GuiWorld::pickedFolder() const
{
    return m_dir.path() + QStringLiteral("/picked");
}

QString GuiWorld::dataFolder() const
{
    return pickedFolder() + QStringLiteral("/Korvane");
}

QString GuiWorld::programFolder() const
{
    return m_dir.path() + QStringLiteral("/program");
}

RecordStore& GuiWorld::store()
{
    return *m_store;
}

void GuiWorld::fillDemoData(int projects, int seed)
{
    DemoOptions options;
    options.projects = projects;
    options.seed = quint32(seed);
    generateDemoData(*m_store, options);
    m_store->LoadAll();
}

QByteArray GuiWorld::addProject(const QString& name, const QString& start, const QString& end)
{
    ProjectRecord project = emptyRecord<ProjectRecord>();
    project.name = name.toUtf8();
    project.currency = "$";
    project.startDate = DateTime::fromDate(QDate::fromString(start, Qt::ISODate));
    project.endDate = DateTime::fromDate(QDate::fromString(end, Qt::ISODate));
    return m_store->AddProject(project).identifier;
}

} // namespace korvane::test
