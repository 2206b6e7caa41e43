// korvane-cli's conflict commands: the conflicting copies sync programs leave, and the choice of one.
#include "CliApp.h"

#include "edits/ConflictEdits.h"
#include "store/RecordStore.h"

namespace korvane {

int CliApp::conflicts(const QList<QByteArray>& args)
{
    expectCount(args, 0, "conflicts");
    for (const ConflictCopy& copy : store().conflicts())
        print(QByteArray(kindNames(copy.kind).word) + '\t' + copy.identifier + '\t' + copy.path.toUtf8());
    return Success;
}

int CliApp::resolve(const QList<QByteArray>& args)
{
    const char* usage = "resolve KIND ID --keep PATH";
    if (args.size() != 4 || args[2] != "--keep")
        usageLine(usage);
    const RecordKind kind = kindArgument(args[0]);
    requireFileSafe(args[1]);
    const EditResult result = ConflictEdits::resolve(store(), kind, args[1], QString::fromLocal8Bit(args[3]));
    if (!result.ok())
        fail(InvalidInput, result.error);
    return Success;
}

} // namespace korvane
