#include "reports/XlsxExport.h"

#include "records/RecordCodec.h"
#include "records/Text.h"
#include "records/TextList.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QStringList>
#include <cmath>
#include <optional>

namespace korvane {

namespace {

using Style = XlsxSheet::Style;

constexpr int kResourcesHeaderRow = 16;
// Each table's header lies this many rows below the last row used before it.
constexpr int kTableGap = 3;
// The sum rows lie this many rows below the last money flow entry.
constexpr int kSumsGap = 4;

/** Writes a header row's texts, filling the gaps between them so the row reads as one band. */
void writeHeader(XlsxSheet& sheet, int row, char first, char last,
                 std::initializer_list<std::pair<char, QString>> texts)
{
    for (char column = first; column <= last; ++column)
        sheet.setText(column, row, {}, Style::Header);
    for (const auto& [column, text] : texts)
        sheet.setText(column, row, text, Style::Header);
}

class Layout
{
public:
    Layout(const RecordStore& store, const QByteArray& projectIdentifier, const QLocale& locale)
        : m_store(store), m_projectIdentifier(projectIdentifier), m_locale(locale),
          m_project(store.GetProject(projectIdentifier)),
          m_client(store.GetClient(m_project.clientIdentifier))
    {
    }

    XlsxSheet build(XlsxExport::MoneyRows* moneyRows)
    {
        setColumnWidths();
        writeFacts();
        int row = writeResources();
        row = writeTasks(row + kTableGap);
        row = writeMeetings(row + kTableGap);
        const XlsxExport::MoneyRows rows = writeMoneyFlow(row + kTableGap);
        if (moneyRows)
            *moneyRows = rows;
        return std::move(m_sheet);
    }

private:
    void setColumnWidths()
    {
        const std::pair<char, double> widths[] = {{'A', 7},  {'B', 30}, {'C', 20}, {'D', 16}, {'E', 16},
                                                  {'F', 16}, {'G', 12}, {'H', 24}, {'I', 10}, {'J', 24},
                                                  {'K', 11}, {'L', 14}, {'M', 20}};
        for (const auto& [column, width] : widths)
            m_sheet.setColumnWidth(column, width);
    }

    void fact(int row, const char* label, const QString& value)
    {
        m_sheet.setText('B', row, QString::fromLatin1(label), Style::Label);
        m_sheet.setText('C', row, value);
    }

    void writeFacts()
    {
        static const QString picture = QStringLiteral("dd MMM yy");
        fact(2, "Project Name", displayText(m_project.name));
        fact(3, "Project ID", displayText(m_project.projectCode));
        fact(4, "End user", displayText(m_project.endUser));
        fact(5, "Start Date", DisplayFormat::dateWithPicture(m_project.startDate, picture, m_locale));
        fact(6, "End Date", DisplayFormat::dateWithPicture(m_project.endDate, picture, m_locale));
        fact(8, "Client Name", displayText(m_client.clientName));
        fact(9, "Contact Person", displayText(m_client.contactPerson));
        fact(10, "Address", displayText(m_client.address));
        fact(11, "Website", displayText(m_client.website));
        fact(12, "Phone1", displayText(m_client.phone1));
        fact(13, "Phone2", displayText(m_client.phone2));
    }

    /** The resource an identifier names, or nullptr when it is not found. */
    const ResourceRecord* resource(const QByteArray& identifier) const
    {
        const ResourceRecord* found = m_store.resources().find(identifier);
        return found && !found->identifier.isEmpty() ? found : nullptr;
    }

    /** Returns the last row used. */
    int writeResources()
    {
        int row = kResourcesHeaderRow;
        writeHeader(m_sheet, row, 'A', 'F',
                    {{'A', "Sl/N0"},
                     {'B', "Name"},
                     {'C', "Designation"},
                     {'D', "Department"},
                     {'E', "Phone1"},
                     {'F', "Phone2"}});
        int number = 0;
        for (const QByteArray& identifier : TextList::entries(m_client.leadByList)) {
            const ResourceRecord* lead = resource(identifier);
            if (!lead)
                continue;
            ++row;
            m_sheet.setNumber('A', row, ++number);
            m_sheet.setText('B', row, displayText(lead->name));
            m_sheet.setText('C', row, displayText(lead->designation));
            m_sheet.setText('D', row, displayText(lead->department));
            m_sheet.setText('E', row, displayText(lead->phone1));
            m_sheet.setText('F', row, displayText(lead->phone2));
        }
        return row;
    }

    int writeTasks(int header)
    {
        writeHeader(m_sheet, header, 'A', 'F',
                    {{'A', "SI/No"},
                     {'B', "Name"},
                     {'C', "ID"},
                     {'D', "Start Date"},
                     {'E', "End Date"},
                     {'F', "Resources"}});
        int row = header;
        for (const TaskRecord* task : m_store.ofProject<TaskRecord>(m_projectIdentifier)) {
            ++row;
            QStringList names;
            for (const QByteArray& identifier : TextList::entries(task->resources)) {
                if (const ResourceRecord* found = resource(identifier))
                    names.append(displayText(found->name));
            }
            m_sheet.setNumber('A', row, row - header);
            m_sheet.setText('B', row, displayText(task->name));
            m_sheet.setText('C', row, displayText(task->taskCode));
            m_sheet.setText('D', row, DisplayFormat::shortDate(task->start, m_locale));
            m_sheet.setText('E', row, DisplayFormat::shortDate(task->end, m_locale));
            m_sheet.setText('F', row, names.join(QStringLiteral(", ")));
        }
        return row;
    }

    int writeMeetings(int header)
    {
        writeHeader(m_sheet, header, 'A', 'M',
                    {{'A', "SI/No"},
                     {'B', "Caption"},
                     {'C', "ID"},
                     {'D', "Place"},
                     {'E', "Lead By"},
                     {'F', "Start Date"},
                     {'G', "End Date"},
                     {'H', "Agendas"},
                     {'J', "Actions"},
                     {'M', "Attendees"}});
        const int subHeader = header + 1;
        writeHeader(m_sheet, subHeader, 'A', 'M',
                    {{'H', "Name"}, {'I', "Time"}, {'J', "Todo"}, {'K', "DueDate"}, {'L', "Who"}});
        const QString lineFeed = QStringLiteral("\n");
        int row = subHeader;
        for (const MeetingRecord* meeting : m_store.ofProject<MeetingRecord>(m_projectIdentifier)) {
            ++row;
            m_sheet.setNumber('A', row, row - subHeader);
            m_sheet.setText('B', row, displayText(meeting->subject));
            m_sheet.setText('C', row, displayText(meeting->meetingCode));
            m_sheet.setText('D', row, displayText(meeting->place));
            m_sheet.setText('E', row, displayText(meeting->lead));
            m_sheet.setText('F', row, DisplayFormat::shortDate(meeting->start, m_locale));
            m_sheet.setText('G', row, DisplayFormat::shortDate(meeting->end, m_locale));

            const auto agenda = m_store.readMeetingList<AgendaRecord>(ListFile::Agenda, meeting->identifier);
            if (!agenda || agenda->isEmpty()) {
                m_sheet.setText('H', row, QStringLiteral("No Agenda Assigned"));
            } else {
                QStringList names, times;
                for (const AgendaRecord& item : *agenda) {
                    names.append(displayText(item.name));
                    times.append(DisplayFormat::timeWithoutSeconds(item.time, m_locale));
                }
                m_sheet.setText('H', row, names.join(lineFeed));
                m_sheet.setText('I', row, times.join(lineFeed));
            }

            const auto actions = m_store.readMeetingList<ActionRecord>(ListFile::Action, meeting->identifier);
            if (!actions || actions->isEmpty()) {
                m_sheet.setText('J', row, QStringLiteral("No Actions Assigned"));
            } else {
                QStringList todos, dueDates, whos;
                for (const ActionRecord& item : *actions) {
                    todos.append(displayText(item.todo));
                    dueDates.append(DisplayFormat::shortDate(item.dueDate, m_locale));
                    whos.append(displayText(item.who));
                }
                m_sheet.setText('J', row, todos.join(lineFeed));
                m_sheet.setText('K', row, dueDates.join(lineFeed));
                m_sheet.setText('L', row, whos.join(lineFeed));
            }

            QStringList attendees;
            for (const QByteArray& name : TextList::entries(meeting->attendees))
                attendees.append(displayText(name));
            m_sheet.setText('M', row, attendees.join(lineFeed));
        }
        return row;
    }

    /** Writes one entry's name and amount; returns what the sheet's SUM counts of the amount. */
    double writeEntry(char nameColumn, int row, const MoneyFlowRecord& entry)
    {
        const char amountColumn = char(nameColumn + 1);
        m_sheet.setText(nameColumn, row,
                        displayText(entry.name) + QStringLiteral("\n(") +
                            DisplayFormat::shortDate(entry.transactionDate, m_locale) + u')');
        if (!std::isfinite(entry.netAmount)) {
            // No spreadsheet holds "nan" or "inf" as a number: show the text, which SUM skips.
            m_sheet.setText(amountColumn, row, QString::asprintf("%.2f", entry.netAmount), Style::Amount);
            return 0.0;
        }
        m_sheet.setNumber(amountColumn, row, entry.netAmount, Style::Amount);
        return entry.netAmount;
    }

    XlsxExport::MoneyRows writeMoneyFlow(int header)
    {
        const QString currency = displayText(m_project.currency);
        writeHeader(m_sheet, header, 'B', 'E',
                    {{'B', QStringLiteral("Income (in ") + currency + " )"},
                     {'D', QStringLiteral("Expense (in ") + currency + " )"}});

        int incomeRow = header;
        int expenseRow = header;
        // Added in row order, as SUM adds them, so the stored results are the ones it computes.
        double incomeSum = 0.0;
        double expenseSum = 0.0;
        for (const MoneyFlowRecord* entry : m_store.ofProject<MoneyFlowRecord>(m_projectIdentifier)) {
            if (entry->kind == MoneyFlowRecord::Income)
                incomeSum += writeEntry('B', ++incomeRow, *entry);
            else if (entry->kind == MoneyFlowRecord::Expense)
                expenseSum += writeEntry('D', ++expenseRow, *entry);
        }

        const int last = std::max(incomeRow, expenseRow);
        const int sums = last + kSumsGap;
        const auto sum = [](char column, int from, int to) {
            return QString::asprintf("=Sum(%c%d:%c%d)", column, from, column, to);
        };
        m_sheet.setText('B', sums, QStringLiteral("Income"), Style::Label);
        m_sheet.setFormula('C', sums, sum('C', header + 1, last), incomeSum, Style::IncomeTotal);
        m_sheet.setText('B', sums + 1, QStringLiteral("Expense"), Style::Label);
        m_sheet.setFormula('C', sums + 1, sum('E', header + 1, last), expenseSum, Style::ExpenseTotal);
        m_sheet.setText('B', sums + 2, QStringLiteral("Total"), Style::Label);
        m_sheet.setFormula('C', sums + 2, sum('C', sums, sums + 1), incomeSum + expenseSum, Style::Total);
        return {header, last};
    }

    const RecordStore& m_store;
    const QByteArray m_projectIdentifier;
    const QLocale m_locale;
    const ProjectRecord m_project;
    const ClientRecord m_client;
    XlsxSheet m_sheet;
};

} // namespace

XlsxSheet XlsxExport::sheet(const RecordStore& store, const QByteArray& projectIdentifier,
                            const QLocale& locale, MoneyRows* moneyRows)
{
    return Layout(store, projectIdentifier, locale).build(moneyRows);
}

QString XlsxExport::write(const RecordStore& store, const QByteArray& projectIdentifier, const QString& path,
                          const QLocale& locale)
{
    if (!store.projects().contains(projectIdentifier))
        return QStringLiteral(
                   "There is no project with the identifier \"%1\" to export to an Excel workbook.")
            .arg(displayText(projectIdentifier));
    const QString error = sheet(store, projectIdentifier, locale).save(path);
    if (!error.isEmpty())
        return QStringLiteral("There was a problem exporting the project to an Excel workbook: %1")
            .arg(error);
    return {};
}

} // namespace korvane
