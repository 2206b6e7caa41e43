#include "CliApp.h"

#include "integration/ImportBatch.h"
#include "integration/ImportSource.h"
#include "records/Text.h"
#include "store/RecordStore.h"

#include <QFile>

namespace korvane {

int CliApp::importFile(const QList<QByteArray>& args)
{
    static const char* const usage =
        "import contacts FILE [--dry-run] | import tasks|meetings FILE --project PROJECT_ID [--dry-run]";
    if (args.size() < 2)
        usageLine(usage);
    ImportKind kind = ImportKind::Contacts;
    if (args[0] == "tasks")
        kind = ImportKind::Tasks;
    else if (args[0] == "meetings")
        kind = ImportKind::Meetings;
    else if (args[0] != "contacts")
        usageLine(usage);
    const QString file = QFile::decodeName(args[1]);

    bool dryRun = false;
    std::optional<QByteArray> project;
    for (qsizetype i = 2; i < args.size(); ++i) {
        if (args[i] == "--dry-run" && !dryRun)
            dryRun = true;
        else if (args[i] == "--project" && !project && i + 1 < args.size())
            project = args[++i];
        else
            usageLine(usage);
    }
    if (project.has_value() != (kind != ImportKind::Contacts))
        usageLine(usage);
    if (project) {
        // Tasks and meetings of a project that does not exist would show in no tree.
        requireFileSafe(*project);
        if (!store().projects().contains(*project))
            fail(InvalidInput,
                 QStringLiteral("no project with the identifier \"%1\"").arg(displayText(*project)));
    }

    const ImportReadResult read = ImportSource::read(kind, file, project.value_or(QByteArray()));
    if (!read.ok())
        fail(InvalidInput, read.error);
    if (read.rows.isEmpty()) {
        m_err.write(ImportSource::noItemsMessage(kind, file).toUtf8() + '\n');
        return Success;
    }
    if (dryRun) {
        for (const ImportRow& row : read.rows) {
            QString text = row.text;
            // One line per row, even for a subject that holds line breaks.
            for (QChar& c : text) {
                if (c.unicode() < 0x20)
                    c = QLatin1Char(' ');
            }
            print(text.toUtf8());
        }
        return Success;
    }
    const ImportAddResult added = addImportRows(store(), read.rows);
    if (!added.ok())
        fail(InvalidInput, added.error);
    for (const QByteArray& identifier : added.identifiers)
        print(identifier);
    return Success;
}

} // namespace korvane
