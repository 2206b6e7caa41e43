#include "CliApp.h"

#include "integration/CalendarWriter.h"
#include "records/Text.h"
#include "store/RecordStore.h"

namespace korvane {

void CliApp::exportIcs(const QByteArray& project, const QString& file)
{
    const RecordStore& records = store();
    QList<QByteArray> projects;
    if (project.isEmpty()) {
        for (const auto& entry : records.projects())
            projects.append(entry.key);
    } else if (records.projects().contains(project)) {
        projects.append(project);
    } else {
        fail(InvalidInput, QStringLiteral("no project with the identifier \"%1\"").arg(displayText(project)));
    }
    const QString error = CalendarWriter(records).writeFile(projects, file);
    if (!error.isEmpty())
        fail(InvalidInput, QStringLiteral("the calendar file was not written: %1").arg(error));
}

} // namespace korvane
