#include "store/RecordKind.h"

namespace korvane {

KindNames kindNames(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Project: return {"Project", ".prj", "project"};
    case RecordKind::Client: return {"Client", ".cli", "client"};
    case RecordKind::Resource: return {"Resource", ".res", "resource"};
    case RecordKind::Task: return {"Task", ".tsk", "task"};
    case RecordKind::Meeting: return {"Meeting", ".met", "meeting"};
    case RecordKind::MoneyFlow: return {"MoneyFlow", ".mfw", "moneyflow"};
    case RecordKind::Invoice: break;
    }
    return {"Invoice", ".inv", "invoice"};
}

KindNames listFileNames(ListFile file)
{
    switch (file) {
    case ListFile::Agenda: return {"Agenda", ".agd", "agenda"};
    case ListFile::Action: return {"Action", ".act", "actions"};
    case ListFile::Attendees: return {"Attendees", ".atd", "attendees"};
    case ListFile::Currency: return {"currency", ".cur", "currency"};
    case ListFile::ProjectDoc: break;
    }
    return {"ProjectDoc", ".doc", "documents"};
}

std::optional<RecordKind> kindFromWord(const QString& word)
{
    for (RecordKind kind : {RecordKind::Project, RecordKind::Client, RecordKind::Resource, RecordKind::Task,
                            RecordKind::Meeting, RecordKind::MoneyFlow, RecordKind::Invoice}) {
        if (word == QLatin1String(kindNames(kind).word))
            return kind;
    }
    return std::nullopt;
}

} // namespace korvane
