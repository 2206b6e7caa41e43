#include "CliApp.h"

#include "records/Text.h"
#include "reports/XlsxExport.h"
#include "store/RecordStore.h"

namespace korvane {

void CliApp::exportXlsx(const QByteArray& project, const QString& file)
{
    const RecordStore& records = store();
    if (!records.projects().contains(project))
        fail(InvalidInput, QStringLiteral("no project with the identifier \"%1\"").arg(displayText(project)));
    const QString error = XlsxExport::write(records, project, file);
    if (!error.isEmpty())
        fail(InvalidInput, error);
}

} // namespace korvane
