#include "GuiTestSupport.h"

#include "records/RecordCodec.h"
#include "shell/ComboBoxAccessible.h"
#include "store/DemoData.h"
#include "store/ProgramFolder.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QLocale>
#include <QSettings>
#include <QTreeWidget>

namespace korvane::test {

GuiWorld::GuiWorld()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    UserDialogs::setTestMode(true);
    ComboBoxAccessible::install();
    // Every test program runs with its own XDG folders (set by CMake); start each world afresh.
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brisolt"),
              QStringLiteral("Korvane"))
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

QByteArray GuiWorld::addTask(const QByteArray& project, const QByteArray& name)
{
    TaskRecord task = emptyRecord<TaskRecord>();
    task.projectIdentifier = project;
    task.name = name;
    task.kind = TaskRecord::kTopLevel;
    task.priority = TaskRecord::Medium;
    task.start = DateTime::fromDate(QDate::currentDate());
    task.end = DateTime::fromDate(QDate::currentDate().addDays(10));
    return m_store->AddTask(task).identifier;
}

QString thisMonth(int day)
{
    const QDate today = QDate::currentDate();
    return QDate(today.year(), today.month(), day).toString(Qt::ISODate);
}

void makeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

void clickChild(QWidget& parent, const char* name)
{
    auto* button = parent.findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!button)
        qFatal("%s has no button %s", qPrintable(parent.objectName()), name);
    button->click();
}

QStringList itemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

QStringList itemTexts(const QTreeWidget* tree)
{
    QStringList texts;
    for (int row = 0; row < tree->topLevelItemCount(); ++row)
        texts.append(tree->topLevelItem(row)->text(0));
    return texts;
}

QString onlyMessage()
{
    const QStringList messages = UserDialogs::takeMessages();
    if (messages.size() == 1)
        return messages.first();
    qWarning("expected one message, got %d: %s", int(messages.size()),
             qPrintable(messages.join(QStringLiteral(" | "))));
    return QString();
}

void answerDialogs(const char* button, std::function<void(QDialog&)> script)
{
    UserDialogs::setDialogHandler([button, script = std::move(script)](QDialog& dialog) {
        if (script)
            script(dialog);
        if (button)
            clickChild(dialog, button);
        return dialog.result();
    });
}

} // namespace korvane::test
