#include "edits/Change.h"

namespace korvane {

void Change::putList(ListFile file, const QByteArray& identifier, const QByteArray& bytes)
{
    m_steps.push_back({FileRef{file, identifier}, bytes, std::nullopt});
}

void Change::eraseList(ListFile file, const QByteArray& identifier)
{
    m_steps.push_back({FileRef{file, identifier}, std::nullopt, std::nullopt});
}

void Change::putBytes(const FileRef& file, const std::optional<QByteArray>& bytes)
{
    m_steps.push_back({file, bytes, std::nullopt});
}

void Change::append(const Change& other)
{
    m_steps.insert(m_steps.end(), other.m_steps.begin(), other.m_steps.end());
    for (const TouchedRecord& record : other.m_records)
        touch(record.kind, record.identifier, record.project, record.action);
}

void Change::touch(RecordKind kind, const QByteArray& identifier, const QByteArray& project,
                   RecordAction action)
{
    // A record added and changed again in one change is still an add; one added then removed was never there.
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        TouchedRecord& known = m_records[i];
        if (known.kind != kind || known.identifier != identifier)
            continue;
        if (known.action == RecordAction::Add && action == RecordAction::Delete)
            m_records.removeAt(i);
        else if (known.action != RecordAction::Add)
            known.action = action;
        return;
    }
    m_records.append({kind, identifier, project, action});
}

QString kindCaption(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Project:
        return QStringLiteral("Project");
    case RecordKind::Client:
        return QStringLiteral("Client");
    case RecordKind::Resource:
        return QStringLiteral("Resource");
    case RecordKind::Task:
        return QStringLiteral("Task");
    case RecordKind::Meeting:
        return QStringLiteral("Meeting");
    case RecordKind::MoneyFlow:
        return QStringLiteral("Money Flow Entry");
    case RecordKind::Invoice:
        break;
    }
    return QStringLiteral("Invoice");
}

} // namespace korvane
