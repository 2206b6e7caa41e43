#include "reports/PageData.h"

#include "records/RecordCodec.h"
#include "records/Text.h"
#include "records/TextList.h"
#include "reports/HtmlText.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

namespace korvane {

namespace {

using HtmlText::record;

/**
 * A meeting's agenda or action items, or nothing when the file cannot be read. A file that opens
 * but does not hold the items its count promises is treated like one that cannot be opened: none
 * of its bytes can be trusted.
 */
} // namespace

PageData PageData::collect(const RecordStore& store, const QByteArray& projectIdentifier,
                           const QLocale& locale)
{
    PageData data;
    const ProjectRecord* project = store.projects().find(projectIdentifier);
    if (!project)
        return data;
    data.found = true;
    const QByteArray& id = project->identifier;
    auto shortDate = [&](const DateTime& value) { return DisplayFormat::shortDate(value, locale); };

    data.name = record(project->name);
    data.endUser = record(project->endUser);
    data.startDate = DisplayFormat::dateWithPicture(project->startDate, QStringLiteral("dd MMM yy"), locale);
    data.endDate = DisplayFormat::dateWithPicture(project->endDate, QStringLiteral("dd MMM yy"), locale);

    if (const ClientRecord* client = store.clients().find(project->clientIdentifier)) {
        data.clientName = record(client->clientName);
        data.contactPerson = record(client->contactPerson);
        for (const QByteArray& lead : TextList::entries(client->leadByList)) {
            // A lead counts when a resource with a non-empty identifier answers the lookup.
            const ResourceRecord* resource = store.resources().find(lead);
            if (!resource || resource->identifier.isEmpty())
                continue;
            data.leads.append({record(resource->name), record(resource->designation),
                               record(resource->phone1), record(resource->phone2)});
        }
    }

    for (const TaskRecord* task : store.ofProject<TaskRecord>(id)) {
        Task row{record(task->name), task->priority, shortDate(task->start), shortDate(task->end), {}};
        for (const QByteArray& resourceId : TextList::entries(task->resources)) {
            const ResourceRecord* resource = store.resources().find(resourceId);
            row.resources.append(resource ? record(resource->name) : QString());
        }
        data.tasks.append(row);
    }

    for (const MeetingRecord* meeting : store.ofProject<MeetingRecord>(id)) {
        Meeting row{record(meeting->subject), shortDate(meeting->start), shortDate(meeting->end), {}, {}, {}};
        if (auto agenda = store.readMeetingList<AgendaRecord>(ListFile::Agenda, meeting->identifier)) {
            row.agenda.emplace();
            for (const AgendaRecord& item : *agenda)
                row.agenda->append({record(item.name), shortDate(item.time)});
        }
        if (auto actions = store.readMeetingList<ActionRecord>(ListFile::Action, meeting->identifier)) {
            row.actions.emplace();
            for (const ActionRecord& item : *actions)
                row.actions->append({record(item.todo), shortDate(item.dueDate), record(item.who)});
        }
        for (const QByteArray& attendee : TextList::entries(meeting->attendees))
            row.attendees.append(record(attendee));
        data.meetings.append(row);
    }

    double incomeTotal = 0.0;
    double expenseTotal = 0.0;
    for (const MoneyFlowRecord* entry : store.ofProject<MoneyFlowRecord>(id)) {
        const Entry row{record(entry->name), shortDate(entry->transactionDate),
                        HtmlText::fixed(entry->netAmount, 2)};
        if (entry->kind == MoneyFlowRecord::Income) {
            incomeTotal += entry->netAmount;
            data.incomes.append(row);
        } else if (entry->kind == MoneyFlowRecord::Expense) {
            expenseTotal += entry->netAmount;
            data.expenses.append(row);
        }
    }
    data.incomeTotal = HtmlText::fixed(incomeTotal, 2);
    data.expenseTotal = HtmlText::fixed(expenseTotal, 2);

    const double net = incomeTotal - expenseTotal;
    const QString label = net < 0 ? QStringLiteral("Loss: ") : QStringLiteral("Profit: ");
    data.balanceLine =
        HtmlText::escape(label + QStringLiteral(": ") +
                         DisplayFormat::amountWithSymbol(net, displayText(project->currency), locale));
    return data;
}

QString PageData::priorityColour(int priority)
{
    switch (priority) {
    case TaskRecord::High:
        return QStringLiteral("#FF0000");
    case TaskRecord::Medium:
        return QStringLiteral("#008000");
    case TaskRecord::Low:
        return QStringLiteral("#C0C0C0");
    default:
        return {};
    }
}

} // namespace korvane
