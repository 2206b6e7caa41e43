#include "shell/CalendarExportDialog.h"

#include "integration/CalendarWriter.h"
#include "records/Text.h"
#include "shell/ProjectExports.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/ProjectRangePicker.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {

CalendarExportDialog::CalendarExportDialog(const RecordStore& store, QWidget* parent)
    : QDialog(parent), m_store(store)
{
    setObjectName(QStringLiteral("calendarExportDialog"));
    setWindowTitle(QStringLiteral("Export To Calendar File"));
    setAccessibleName(windowTitle());
    m_picker = new ProjectRangePicker(store, this);

    auto* buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    m_export = buttons->addButton(QStringLiteral("&Export..."), QDialogButtonBox::AcceptRole);
    m_export->setObjectName(QStringLiteral("exportButton"));
    m_export->setAccessibleName(QStringLiteral("Export"));
    m_export->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAccessibleName(QStringLiteral("Cancel"));
    connect(m_export, &QPushButton::clicked, this, &CalendarExportDialog::exportChecked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_picker, 1);
    layout->addWidget(buttons);
    resize(520, 480);
}

void CalendarExportDialog::exportChecked()
{
    const QList<QByteArray> projects = m_picker->checkedProjects();
    if (projects.isEmpty()) {
        UserDialogs::message(this, QStringLiteral("Check at least one project to export."),
                             UserDialogs::Icon::Warning);
        return;
    }
    const QString baseName = projects.size() == 1 ? displayText(m_store.GetProject(projects.first()).name)
                                                  : QStringLiteral("Projects");
    const QString path = ProjectExports::askSavePath(this, windowTitle(), baseName, QStringLiteral("ics"),
                                                     QStringLiteral("iCalendar Files (*.ics)"));
    if (path.isEmpty())
        return;
    const QString error = CalendarWriter(m_store).writeFile(projects, path);
    if (!error.isEmpty()) {
        UserDialogs::message(this, QStringLiteral("The calendar file was not written.\n%1").arg(error),
                             UserDialogs::Icon::Critical);
        return;
    }
    qsizetype tasks = 0;
    qsizetype meetings = 0;
    for (const QByteArray& project : projects) {
        tasks += qsizetype(m_store.ofProject<TaskRecord>(project).size());
        for (const MeetingRecord* meeting : m_store.ofProject<MeetingRecord>(project))
            meetings += CalendarWriter::isWritten(*meeting) ? 1 : 0;
    }
    UserDialogs::message(this, QStringLiteral("%1 tasks and %2 meetings were written to %3.")
                                   .arg(tasks)
                                   .arg(meetings)
                                   .arg(QDir::toNativeSeparators(path)));
    accept();
}

} // namespace korvane
