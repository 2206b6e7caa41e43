#include "reports/WordProjectReport.h"

#include "records/RecordCodec.h"
#include "records/Text.h"
#include "records/TextList.h"
#include "reports/HtmlText.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "views/DetailsTrees.h"

#include <QFileInfo>

namespace korvane {

namespace {

constexpr int kTitleHalfPoints = 36;   // 18 pt
constexpr int kHeadingHalfPoints = 27; // 13.5 pt
constexpr int kBodyHalfPoints = 24;    // 12 pt

const QString kNewParagraph = QStringLiteral("\r\n");

void useHeadingStyle(DocxWriter& doc)
{
    DocxWriter::Font& font = doc.font();
    font.halfPoints = kHeadingHalfPoints;
    font.bold = true;
    font.underline = true;
}

void useBodyStyle(DocxWriter& doc)
{
    DocxWriter::Font& font = doc.font();
    font.halfPoints = kBodyHalfPoints;
    font.underline = false;
    font.bold = false;
}

void typeHeading(DocxWriter& doc, const QString& heading)
{
    useHeadingStyle(doc);
    doc.typeText(heading);
    useBodyStyle(doc);
}

/** The entries of one category of the money tree, with the sum of their net amounts. */
struct MoneyColumn
{
    QString text;
    double total = 0.0;
};

MoneyColumn moneyColumn(const TreeNode& moneyTree, MoneyCategory category, const QLocale& locale)
{
    MoneyColumn column;
    const auto index = qsizetype(category);
    if (index < 0 || index >= moneyTree.children.size())
        return column;
    for (const TreeNode& entry : moneyTree.children[index].children) {
        const MoneyFlowRecord* money = entry.moneyFlow();
        if (!money)
            continue;
        column.text += displayText(money->name) + QStringLiteral(" (") +
                       DisplayFormat::shortDate(money->transactionDate, locale) + QStringLiteral(" )") +
                       QStringLiteral("\n\tAmt : ") + HtmlText::fixed(money->netAmount, 2) +
                       QStringLiteral("\n");
        column.total += money->netAmount;
    }
    return column;
}

} // namespace

WordProjectReport::WordProjectReport(const RecordStore& store, const QLocale& locale)
    : m_store(store), m_locale(locale)
{
}

DocxWriter WordProjectReport::document(const QByteArray& projectId) const
{
    return document(projectId, buildTaskTree(m_store, projectId), buildMeetingTree(m_store, projectId),
                    buildMoneyFlowTree(m_store, projectId));
}

DocxWriter WordProjectReport::document(const QByteArray& projectId, const TreeNode& taskTree,
                                       const TreeNode& meetingTree, const TreeNode& moneyTree) const
{
    const ProjectRecord project = m_store.GetProject(projectId);
    const ClientRecord client = m_store.GetClient(project.clientIdentifier);

    DocxWriter doc;
    DocxWriter::Font& font = doc.font();
    font.halfPoints = kTitleHalfPoints;
    font.bold = true;
    font.allCaps = true;
    doc.setAlignment(DocxWriter::Alignment::Center);
    doc.typeText(displayText(project.name) + kNewParagraph);
    doc.setAlignment(DocxWriter::Alignment::Left);
    font.bold = false;
    font.allCaps = false;
    font.halfPoints = kBodyHalfPoints;

    const QString duration = DisplayFormat::shortDate(project.startDate, m_locale) + QStringLiteral(" - ") +
                             DisplayFormat::shortDate(project.endDate, m_locale);
    const std::pair<const char*, QString> facts[] = {
        {"User: \t\t", displayText(project.endUser)},    {"Date:\t\t", duration},
        {"Client:\t\t", displayText(client.clientName)}, {"Contact: \t", displayText(client.contactPerson)},
        {"URL\t\t", displayText(client.website)},        {"Ph1: \t\t", displayText(client.phone1)},
        {"Ph2: \t\t", displayText(client.phone2)},
    };
    for (const auto& [label, value] : facts)
        doc.typeText(QLatin1String(label) + value + kNewParagraph);

    typeLeads(doc, project.clientIdentifier);
    typeTasks(doc, taskTree);
    typeMeetings(doc, meetingTree);
    typeMoneyFlow(doc, moneyTree);
    return doc;
}

void WordProjectReport::typeLeads(DocxWriter& doc, const QByteArray& clientId) const
{
    typeHeading(doc, QStringLiteral("\n\nLead By:\n"));
    const ClientRecord client = m_store.GetClient(clientId);
    for (const QByteArray& resourceId : TextList::entries(client.leadByList)) {
        const ResourceRecord lead = m_store.GetResource(resourceId);
        if (lead.identifier.isEmpty())
            continue;
        QString text = QStringLiteral("\r\n\t") + displayText(lead.name);
        if (!lead.designation.isEmpty())
            text += QStringLiteral(" , ") + displayText(lead.designation);
        text += QStringLiteral("\r\n\t\tPh1: ") + displayText(lead.phone1) + QStringLiteral(", PH2: ") +
                displayText(lead.phone2);
        doc.typeText(text);
    }
}

void WordProjectReport::typeTasks(DocxWriter& doc, const TreeNode& taskTree) const
{
    typeHeading(doc, QStringLiteral("\n\nTasks:\n"));
    bool any = false;
    for (const TreeNode& node : taskTree.children) {
        const TaskRecord* task = node.task();
        if (!task)
            continue;
        any = true;
        doc.typeText(QStringLiteral("\r\n\t") + displayText(task->name) +
                     QStringLiteral("\r\n\t\tStart Date\t: ") +
                     DisplayFormat::shortDate(task->start, m_locale) +
                     QStringLiteral("\r\n\t\tEnd Date\t: ") + DisplayFormat::shortDate(task->end, m_locale));
    }
    if (!any)
        doc.typeText(QStringLiteral("\r\n\tNo Tasks"));
}

void WordProjectReport::typeMeetings(DocxWriter& doc, const TreeNode& meetingTree) const
{
    typeHeading(doc, QStringLiteral("\n\nMeetings:\n"));
    bool any = false;
    for (const TreeNode& node : meetingTree.children) {
        const MeetingRecord* meeting = node.meeting();
        if (!meeting)
            continue;
        any = true;
        QString text =
            QStringLiteral("\r\n\t") + displayText(meeting->subject) +
            QStringLiteral("\r\n\t\tStart Date : ") + DisplayFormat::shortDate(meeting->start, m_locale) +
            QStringLiteral("\r\n\t\tEnd Date   : ") + DisplayFormat::shortDate(meeting->end, m_locale);

        text += QStringLiteral("\r\n\t\tAgenda     : ");
        const QList<AgendaRecord> agenda =
            m_store.readMeetingList<AgendaRecord>(ListFile::Agenda, meeting->identifier)
                .value_or(QList<AgendaRecord>());
        for (const AgendaRecord& item : agenda)
            text += QStringLiteral("\r\n\t\t\t") + displayText(item.name) + QStringLiteral(" - ") +
                    DisplayFormat::timeWithoutSeconds(item.time, m_locale);
        if (agenda.isEmpty())
            text += QStringLiteral("\r\n\t\t\tNo Agenda Assigned");

        text += QStringLiteral("\r\n\t\tAction     : ");
        const QList<ActionRecord> actions =
            m_store.readMeetingList<ActionRecord>(ListFile::Action, meeting->identifier)
                .value_or(QList<ActionRecord>());
        for (const ActionRecord& item : actions)
            text += QStringLiteral("\r\n\t\t\t") + displayText(item.todo) +
                    DisplayFormat::shortDate(item.dueDate, m_locale) + QStringLiteral("-") +
                    displayText(item.who);
        if (actions.isEmpty())
            text += QStringLiteral("\r\n\t\t\tNo Action Assigned");

        text += QStringLiteral("\r\n\t\tAttendee     : ");
        const QList<QByteArray> attendees = TextList::entries(meeting->attendees);
        for (const QByteArray& name : attendees)
            text += QStringLiteral("\r\n\t\t\t") + displayText(name);
        if (attendees.isEmpty())
            text += QStringLiteral("\r\n\t\t\tNo Attendees");
        doc.typeText(text);
    }
    if (!any)
        doc.typeText(QStringLiteral("\r\n\tNo Meetings"));
}

void WordProjectReport::typeMoneyFlow(DocxWriter& doc, const TreeNode& moneyTree) const
{
    typeHeading(doc, QStringLiteral("\n\nMoney Flow:\n"));
    const MoneyColumn income = moneyColumn(moneyTree, MoneyCategory::Income, m_locale);
    const MoneyColumn expense = moneyColumn(moneyTree, MoneyCategory::Expense, m_locale);
    doc.addTable(3, 2);
    doc.typeText(QStringLiteral("Income"));
    doc.moveToNextCell();
    doc.typeText(QStringLiteral("Expense"));
    doc.moveToNextCell();
    doc.typeText(income.text);
    doc.moveToNextCell();
    doc.typeText(expense.text);
    doc.moveToNextCell();
    doc.typeText(QStringLiteral("Net Income = ") + HtmlText::fixed(income.total, 2));
    doc.moveToNextCell();
    doc.typeText(QStringLiteral("Net Expense = ") + HtmlText::fixed(expense.total, 2));
    doc.leaveTable();
}

QString WordProjectReport::write(const QByteArray& projectId, const QString& path) const
{
    return document(projectId).save(path);
}

} // namespace korvane
