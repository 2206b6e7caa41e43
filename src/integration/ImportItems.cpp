#include "integration/ImportItems.h"

#include "records/RecordCodec.h"
#include "records/Text.h"

#include <algorithm>

namespace korvane {

ResourceRecord ImportItems::resource(const ContactItem& contact)
{
    ResourceRecord record = emptyRecord<ResourceRecord>();
    record.name = contact.title + ' ' + contact.firstName + ' ' + contact.middleName + ' ' + contact.lastName;
    record.designation = contact.jobTitle;
    record.department = contact.department;
    record.phone1 = contact.homeTelephoneNumber;
    record.phone2 = contact.mobileTelephoneNumber;
    if (record.phone1.isEmpty() && record.phone2.isEmpty()) {
        for (const QByteArray* number :
             {&contact.home2TelephoneNumber, &contact.primaryTelephoneNumber,
              &contact.companyMainTelephoneNumber, &contact.businessTelephoneNumber,
              &contact.business2TelephoneNumber, &contact.businessFaxNumber,
              &contact.assistantTelephoneNumber, &contact.callbackTelephoneNumber,
              &contact.carTelephoneNumber, &contact.homeFaxNumber, &contact.pagerNumber}) {
            if (!number->isEmpty()) {
                record.phone1 = *number;
                break;
            }
        }
    }
    return record;
}

TaskRecord ImportItems::task(const TaskItem& item, const QByteArray& projectIdentifier)
{
    TaskRecord record = emptyRecord<TaskRecord>();
    record.name = item.subject;
    record.priority = item.importance == TaskItem::High     ? TaskRecord::High
                      : item.importance == TaskItem::Normal ? TaskRecord::Medium
                                                            : TaskRecord::Low;
    record.start = DateTime::fromQDateTime(item.startDate.toLocalTime());
    record.end = DateTime::fromQDateTime(item.dueDate.toLocalTime());
    record.reminderTime = DateTime::fromQDateTime(item.reminderTime.toLocalTime());
    record.reminderOn = item.reminderSet ? 1 : 0;
    record.kind = TaskRecord::kTopLevel;
    record.projectIdentifier = projectIdentifier;
    return record;
}

MeetingRecord ImportItems::meeting(const AppointmentItem& item, const QByteArray& projectIdentifier)
{
    MeetingRecord record = emptyRecord<MeetingRecord>();
    record.projectIdentifier = projectIdentifier;
    record.subject = item.subject;
    record.meetingCode = "###";
    record.place = item.location;
    record.lead = "UnKnown";
    record.start = DateTime::fromQDateTime(item.start.toLocalTime());
    record.end = DateTime::fromQDateTime(item.end.toLocalTime());
    record.notes = item.body;
    return record;
}

ImportRow ImportItems::row(const ResourceRecord& resource)
{
    return ImportRow{displayText(resource.name), resource};
}

ImportRow ImportItems::row(const TaskRecord& task)
{
    return ImportRow{displayText(task.name), task};
}

ImportRow ImportItems::row(const MeetingRecord& meeting)
{
    QByteArray text = meeting.subject;
    if (!meeting.place.isEmpty())
        text += " - " + meeting.place;
    return ImportRow{displayText(text), meeting};
}

const QByteArray& ImportItems::sortKey(const ImportRow& row)
{
    return std::visit(
        [](const auto& record) -> const QByteArray& {
            if constexpr (std::is_same_v<std::decay_t<decltype(record)>, MeetingRecord>)
                return record.subject;
            else
                return record.name;
        },
        row.record);
}

void sortImportRows(QList<ImportRow>& rows, bool ascending)
{
    // QByteArray compares its bytes as unsigned values, which is byte order and case-sensitive.
    std::stable_sort(rows.begin(), rows.end(), [ascending](const ImportRow& a, const ImportRow& b) {
        const QByteArray& left = ImportItems::sortKey(a);
        const QByteArray& right = ImportItems::sortKey(b);
        return ascending ? left < right : right < left;
    });
}

} // namespace korvane
