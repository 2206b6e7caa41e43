#include "reports/XlsxExport.h"
#include "OfficeFiles.h"
#include "ReportFixture.h"

#include <QStandardPaths>
#include <QXmlStreamReader>
#include <limits>

using namespace korvane;
using namespace korvane::testing;
// Records are built with designated initializers; the fields left out are meant to be empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using Kind = XlsxSheet::Cell::Kind;

namespace {

const QLocale kUs("en_US");

class XlsxExportTest : public ReportFixture
{
protected:
    QByteArray addProject(const QByteArray& leadByList = {})
    {
        const ClientRecord client{.clientName = "Acme Works",
                                  .address = "1 Mill Road\nLeeds",
                                  .phone2 = "0113 496 0001",
                                  .leadByList = leadByList};
        // The name in Windows-1252 bytes, as old data folders hold them; the euro sign in UTF-8.
        return m_store
            .AddProject({.clientIdentifier = m_store.AddClient(client).identifier,
                         .name = "Caf\xe9 Bridge",
                         .startDate = at(2007, 7, 3),
                         .endDate = at(2007, 12, 20),
                         .currency = "\xe2\x82\xac"})
            .identifier;
    }
    QByteArray addResource(const QByteArray& name)
    {
        return m_store
            .AddResource({.name = name,
                          .designation = name + " designation",
                          .department = "Works",
                          .phone1 = "1",
                          .phone2 = "2"})
            .identifier;
    }
    QByteArray addTask(const QByteArray& project, const QByteArray& name, const QByteArray& resources = {})
    {
        return m_store
            .AddTask({.projectIdentifier = project,
                      .kind = TaskRecord::kTopLevel,
                      .name = name,
                      .taskCode = "T-" + name,
                      .start = at(2007, 7, 4),
                      .end = at(2007, 8, 31),
                      .resources = resources})
            .identifier;
    }
    QByteArray addMeeting(const QByteArray& project, const QByteArray& subject,
                          const QByteArray& attendees = {})
    {
        return m_store
            .AddMeeting({.projectIdentifier = project,
                         .subject = subject,
                         .meetingCode = "M1",
                         .place = "Hall",
                         .lead = "Ann",
                         .start = at(2007, 7, 5, 9, 30),
                         .end = at(2007, 7, 5, 11, 0),
                         .attendees = attendees})
            .identifier;
    }
    void addMoney(const QByteArray& project, int kind, const QByteArray& name, double net)
    {
        ASSERT_TRUE(m_store
                        .AddMoneyFlow({.projectIdentifier = project,
                                       .name = name,
                                       .amount = net,
                                       .netAmount = net,
                                       .transactionDate = at(2007, 7, 10),
                                       .kind = kind})
                        .ok());
    }

    XlsxSheet sheet(const QByteArray& project, XlsxExport::MoneyRows* rows = nullptr)
    {
        return XlsxExport::sheet(m_store, project, kUs, rows);
    }
};

/** The cell's text, or "<none>" when nothing was written there. */
QString text(const XlsxSheet& sheet, const QString& reference)
{
    const XlsxSheet::Cell* cell = sheet.cell(reference);
    return cell ? cell->text : QStringLiteral("<none>");
}

/** The texts of one row from column A on, "" for a cell not written; trailing empties dropped. */
QStringList rowTexts(const XlsxSheet& sheet, int row, char last = 'M')
{
    QStringList texts;
    for (char column = 'A'; column <= last; ++column) {
        const XlsxSheet::Cell* cell = sheet.cell(XlsxSheet::reference(column, row));
        texts.append(!cell                      ? QString()
                     : cell->kind == Kind::Text ? cell->text
                                                : QString::number(cell->value));
    }
    while (!texts.isEmpty() && texts.last().isEmpty())
        texts.removeLast();
    return texts;
}

/** The row in which a column holds the text, or 0. */
int rowOf(const XlsxSheet& sheet, char column, const QString& wanted)
{
    for (const XlsxSheet::Cell& cell : sheet.cells()) {
        if (cell.column == column && cell.kind == Kind::Text && cell.text == wanted)
            return cell.row;
    }
    return 0;
}

void expectFormula(const XlsxSheet& sheet, const QString& reference, const QString& formula, double value,
                   XlsxSheet::Style style)
{
    SCOPED_TRACE(reference.toStdString());
    const XlsxSheet::Cell* cell = sheet.cell(reference);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->kind, Kind::Formula);
    EXPECT_EQ(cell->text, formula);
    EXPECT_DOUBLE_EQ(cell->value, value);
    EXPECT_EQ(cell->style, style);
}

TEST_F(XlsxExportTest, EmptyProjectKeepsEveryHeaderAndSumsAnEmptyRange)
{
    const QByteArray project = addProject();
    XlsxExport::MoneyRows rows;
    const XlsxSheet s = sheet(project, &rows);

    EXPECT_EQ(rowTexts(s, 2), QStringList({"", "Project Name", "Caf\u00e9 Bridge"}));
    EXPECT_EQ(rowTexts(s, 5), QStringList({"", "Start Date", "03 Jul 07"}));
    EXPECT_EQ(rowTexts(s, 6), QStringList({"", "End Date", "20 Dec 07"}));
    EXPECT_EQ(rowTexts(s, 7), QStringList());
    EXPECT_EQ(rowTexts(s, 10), QStringList({"", "Address", "1 Mill Road\nLeeds"}));
    EXPECT_EQ(rowTexts(s, 13), QStringList({"", "Phone2", "0113 496 0001"}));

    // No leads: the resources table is its header alone and the tasks header lies in row 19.
    EXPECT_EQ(rowTexts(s, 16),
              QStringList({"Sl/N0", "Name", "Designation", "Department", "Phone1", "Phone2"}));
    EXPECT_EQ(rowTexts(s, 17), QStringList());
    EXPECT_EQ(rowTexts(s, 19), QStringList({"SI/No", "Name", "ID", "Start Date", "End Date", "Resources"}));
    EXPECT_EQ(rowTexts(s, 22), QStringList({"SI/No", "Caption", "ID", "Place", "Lead By", "Start Date",
                                            "End Date", "Agendas", "", "Actions", "", "", "Attendees"}));
    EXPECT_EQ(rowTexts(s, 23),
              QStringList({"", "", "", "", "", "", "", "Name", "Time", "Todo", "DueDate", "Who"}));
    EXPECT_EQ(rowTexts(s, 26), QStringList({"", "Income (in \u20ac )", "", "Expense (in \u20ac )"}));

    // Both counters stay at H: the sums follow in H + 4 to H + 6 over the empty range H + 1 to H.
    EXPECT_EQ(rows.header, 26);
    EXPECT_EQ(rows.lastEntry, 26);
    for (int row : {27, 28, 29})
        EXPECT_EQ(rowTexts(s, row), QStringList()) << row;
    EXPECT_EQ(text(s, "B30"), "Income");
    EXPECT_EQ(text(s, "B31"), "Expense");
    EXPECT_EQ(text(s, "B32"), "Total");
    expectFormula(s, "C30", "=Sum(C27:C26)", 0.0, XlsxSheet::Style::IncomeTotal);
    expectFormula(s, "C31", "=Sum(E27:E26)", 0.0, XlsxSheet::Style::ExpenseTotal);
    expectFormula(s, "C32", "=Sum(C30:C31)", 0.0, XlsxSheet::Style::Total);
    EXPECT_EQ(s.lastRow(), 32);
}

TEST_F(XlsxExportTest, LeadsAndTaskResourcesTakeOnlyFoundEntries)
{
    const QByteArray ann = addResource("Ann");
    const QByteArray bob = addResource("Bob");
    const QByteArray cy = addResource("Cy");
    // An unknown identifier is skipped, and "Cy" lacks its line feed, so it is no entry.
    const QByteArray project = addProject(ann + "\nnobody\n" + bob + "\n" + cy);
    addTask(project, "Survey", bob + "\nnobody\n" + ann + "\n");
    addTask("another project", "Elsewhere", ann + "\n");

    const XlsxSheet s = sheet(project);
    EXPECT_EQ(rowTexts(s, 17), QStringList({"1", "Ann", "Ann designation", "Works", "1", "2"}));
    EXPECT_EQ(rowTexts(s, 18), QStringList({"2", "Bob", "Bob designation", "Works", "1", "2"}));
    EXPECT_EQ(rowTexts(s, 19), QStringList());
    // The tasks header lies 3 rows below the last lead.
    EXPECT_EQ(text(s, "A21"), "SI/No");
    EXPECT_EQ(rowTexts(s, 22), QStringList({"1", "Survey", "T-Survey", "7/4/07", "8/31/07", "Bob, Ann"}));
    EXPECT_EQ(rowTexts(s, 23), QStringList());
    EXPECT_EQ(text(s, "A25"), "SI/No");
    EXPECT_EQ(text(s, "H26"), "Name");
}

TEST_F(XlsxExportTest, MeetingListsJoinedWithLineFeedsOrMarkedMissing)
{
    const QByteArray project = addProject();
    const QByteArray full = addMeeting(project, "Kick-off", "Ann\nBob\nCarl");
    const QByteArray empty = addMeeting(project, "Review");
    const QByteArray broken = addMeeting(project, "Close");

    agenda(full, {{"Welcome", at(2007, 7, 5, 9, 30)}, {"Plan", at(2007, 7, 5, 10, 15)}});
    // No action file for the first; empty lists for the second; damaged files for the third.
    agenda(empty, {});
    actions(empty, {});
    listFileBytes(ListFile::Agenda, broken, QByteArray("\x05\0\0\0", 4));
    actions(broken, {{"Order steel", at(2007, 7, 20), "Bob", 0}, {"Book crane", at(2007, 8, 1), "Ann", 1}});

    const XlsxSheet s = sheet(project);
    const int kickOff = rowOf(s, 'B', "Kick-off");
    const int review = rowOf(s, 'B', "Review");
    const int close = rowOf(s, 'B', "Close");
    for (int row : {kickOff, review, close})
        ASSERT_TRUE(row >= 24 && row <= 26) << row;

    EXPECT_EQ(rowTexts(s, kickOff).mid(1),
              QStringList({"Kick-off", "M1", "Hall", "Ann", "7/5/07", "7/5/07", "Welcome\nPlan",
                           "9:30 AM\n10:15 AM", "No Actions Assigned", "", "", "Ann\nBob"}));
    EXPECT_EQ(rowTexts(s, review).mid(7), QStringList({"No Agenda Assigned", "", "No Actions Assigned"}));
    EXPECT_EQ(rowTexts(s, close).mid(7), QStringList({"No Agenda Assigned", "", "Order steel\nBook crane",
                                                      "7/20/07\n8/1/07", "Bob\nAnn"}));
    // Running numbers follow the rows, whatever order the map gives the meetings.
    for (int row : {kickOff, review, close})
        EXPECT_EQ(s.cell(XlsxSheet::reference('A', row))->value, row - 23) << row;
    EXPECT_EQ(text(s, "B29"), "Income (in \u20ac )");
}

TEST_F(XlsxExportTest, IncomeAndExpenseCountRowsEachOnTheirOwn)
{
    struct Case
    {
        QList<double> incomes;
        QList<double> expenses;
    };
    const Case cases[] = {
        {{1000.0, 250.5, 0.25}, {80.0}},
        {{}, {19.99, 5.01}},
        {{42.0}, {}},
        {{0.1, 0.2}, {0.3, 0.1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.incomes.size() << " incomes, " << c.expenses.size() << " expenses");
        const QByteArray project = addProject();
        addTask(project, "Survey");
        for (qsizetype i = 0; i < c.incomes.size(); ++i)
            addMoney(project, MoneyFlowRecord::Income, "In" + QByteArray::number(i), c.incomes[i]);
        for (qsizetype i = 0; i < c.expenses.size(); ++i)
            addMoney(project, MoneyFlowRecord::Expense, "Out" + QByteArray::number(i), c.expenses[i]);
        addMoney(project, 2, "Neither", 1e6); // neither income nor expense: left out

        XlsxExport::MoneyRows rows;
        const XlsxSheet s = sheet(project, &rows);
        const int h = rows.header;
        EXPECT_EQ(h, 27); // tasks header 19, one task in 20, meetings header 23 and sub-header 24
        const qsizetype longer = std::max(c.incomes.size(), c.expenses.size());
        EXPECT_EQ(rows.lastEntry, h + longer);

        // The entries fill each side from H + 1 down in the map's order; the shorter side ends early.
        double incomeSum = 0.0;
        double expenseSum = 0.0;
        int incomeRow = h;
        int expenseRow = h;
        for (const MoneyFlowRecord* entry : m_store.ofProject<MoneyFlowRecord>(project)) {
            const bool income = entry->kind == MoneyFlowRecord::Income;
            if (!income && entry->kind != MoneyFlowRecord::Expense)
                continue;
            const int row = income ? ++incomeRow : ++expenseRow;
            const char nameColumn = income ? 'B' : 'D';
            EXPECT_EQ(text(s, XlsxSheet::reference(nameColumn, row)),
                      QString::fromUtf8(entry->name) + "\n(7/10/07)");
            const XlsxSheet::Cell* amount = s.cell(XlsxSheet::reference(char(nameColumn + 1), row));
            ASSERT_NE(amount, nullptr);
            EXPECT_EQ(amount->kind, Kind::Number);
            EXPECT_EQ(amount->style, XlsxSheet::Style::Amount);
            EXPECT_EQ(amount->value, entry->netAmount);
            (income ? incomeSum : expenseSum) += entry->netAmount;
        }
        EXPECT_EQ(s.cell(XlsxSheet::reference('B', incomeRow + 1)), nullptr);
        EXPECT_EQ(s.cell(XlsxSheet::reference('D', expenseRow + 1)), nullptr);
        EXPECT_EQ(rowOf(s, 'B', "Neither\n(7/10/07)"), 0);

        const int m = h + int(longer);
        for (int row = m + 1; row <= m + 3; ++row)
            EXPECT_EQ(rowTexts(s, row), QStringList()) << row;
        const QString first = QString::number(h + 1);
        const QString last = QString::number(m);
        expectFormula(s, XlsxSheet::reference('C', m + 4), "=Sum(C" + first + ":C" + last + ")", incomeSum,
                      XlsxSheet::Style::IncomeTotal);
        expectFormula(s, XlsxSheet::reference('C', m + 5), "=Sum(E" + first + ":E" + last + ")", expenseSum,
                      XlsxSheet::Style::ExpenseTotal);
        expectFormula(s, XlsxSheet::reference('C', m + 6), QString("=Sum(C%1:C%2)").arg(m + 4).arg(m + 5),
                      incomeSum + expenseSum, XlsxSheet::Style::Total);
        EXPECT_EQ(s.lastRow(), m + 6);
    }
}

// ---- the written file ----

TEST_F(XlsxExportTest, WritesWholeWorkbookOrNothing)
{
    const QByteArray project = addProject();
    const QString target = m_data.filePath("out/Bridge.xlsx");

    // The folder does not exist: the message names the document kind and the reason, nothing is left.
    QString error = XlsxExport::write(m_store, project, target);
    EXPECT_TRUE(error.startsWith("There was a problem exporting the project to an Excel workbook: "))
        << error.toStdString();
    EXPECT_TRUE(error.contains(target)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(target));

    ASSERT_TRUE(QDir(m_data.path()).mkdir("out"));
    error = XlsxExport::write(m_store, "unknown", target);
    EXPECT_TRUE(error.contains("no project")) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(target));

    ASSERT_EQ(SafeFile::write(target, "an older file"), QString());
    ASSERT_EQ(XlsxExport::write(m_store, project, target), QString());
    QByteArray bytes;
    ASSERT_TRUE(SafeFile::read(target, bytes));
    EXPECT_TRUE(bytes.startsWith("PK\x03\x04")); // a zip package replaced the older file
    EXPECT_EQ(QDir(m_data.filePath("out")).entryList(QDir::Files), QStringList({"Bridge.xlsx"}));
}

/** The texts of the workbook's shared strings, in their order; fails the test when the part is not
 * well-formed XML. */
QStringList sharedStrings(const QString& workbook)
{
    const QByteArray xml = zipEntry(workbook, "xl/sharedStrings.xml");
    EXPECT_FALSE(xml.isEmpty()) << "no xl/sharedStrings.xml in " << workbook.toStdString();
    QStringList texts;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == u"si")
            texts.append(QString());
        else if (reader.name() == u"t" && !texts.isEmpty())
            texts.last() += reader.readElementText();
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return texts;
}

TEST_F(XlsxExportTest, TextsKeepTheirOtherCharactersWhenSomeCannotBeWritten)
{
    // A NUL would end the text early, and U+FFFE, U+FFFF or a lone surrogate would make the strings
    // part unreadable, so that a reader shows none of the sheet's texts.
    XlsxSheet sheet;
    sheet.setText('A', 1, QStringLiteral("nul") + QChar(0) + QStringLiteral("after"));
    sheet.setText('A', 2, QStringLiteral("bad ") + QChar(0xFFFF) + QChar(0xFFFE) + QStringLiteral(" end"));
    sheet.setText('A', 3, QStringLiteral("half ") + QChar(0xD800) + QStringLiteral(" pair ") + QChar(0xDC00));
    sheet.setText('A', 4, QStringLiteral("bell\x07 smile ") + QString::fromUcs4(U"\U0001F600"));
    // At the cut to the characters one cell holds, a pair is not split.
    sheet.setText('A', 5, QString(XlsxSheet::kMaxCellText - 1, u'x') + QString::fromUcs4(U"\U0001F600"));
    const QString file = m_data.filePath("texts.xlsx");
    ASSERT_EQ(sheet.save(file), QString());

    const QStringList texts = sharedStrings(file);
    ASSERT_EQ(texts.size(), 5);
    EXPECT_EQ(texts[0], "nulafter");
    EXPECT_EQ(texts[1], "bad  end");
    EXPECT_EQ(texts[2], "half  pair ");
    // libxlsxwriter writes other control characters escaped, as Excel reads them back.
    EXPECT_EQ(texts[3], QStringLiteral("bell_x0007_ smile ") + QString::fromUcs4(U"\U0001F600"));
    EXPECT_EQ(texts[4], QString(XlsxSheet::kMaxCellText - 1, u'x'));
}

// ---- LibreOffice ----

/** A profile that makes Calc recalculate every formula of an .xlsx when it loads one. */
void writeRecalculatingProfile(const QString& profile)
{
    ASSERT_TRUE(QDir().mkpath(profile + "/lo/user"));
    ASSERT_EQ(SafeFile::write(profile + "/lo/user/registrymodifications.xcu",
                              R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>0</value></prop></item>
</oor:items>
)"),
              QString());
}

/** The rows of a converted sheet, split into cells as LibreOffice quoted them. */
QList<QStringList> csvRows(const QString& path)
{
    QByteArray bytes;
    EXPECT_TRUE(SafeFile::read(path, bytes));
    // Quoted cells may hold line feeds: split records only outside quotes.
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (const QChar c : QString::fromUtf8(bytes)) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == u',' && !quoted) {
            row.append(cell);
            cell.clear();
        } else if (c == u'\n' && !quoted) {
            row.append(cell);
            rows.append(row);
            row.clear();
            cell.clear();
        } else if (c != u'\r') {
            cell.append(c);
        }
    }
    return rows;
}

TEST_F(XlsxExportTest, LibreOfficeShowsTotalsAndTexts)
{
    if (QStandardPaths::findExecutable("soffice").isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not on PATH; install libreoffice-calc to run this check";

    const QByteArray ann = addResource("Ann");
    const QByteArray project = addProject(ann + "\n");
    addTask(project, "Survey", ann + "\n");
    const QByteArray meeting = addMeeting(project, "Kick-off", "Ann\nBob\n");
    agenda(meeting, {{"Welcome", at(2007, 7, 5, 9, 30)}});
    addMoney(project, MoneyFlowRecord::Income, "Design", 1000.0);
    addMoney(project, MoneyFlowRecord::Income, "Build", 250.25);
    // A damaged amount shows as "nan", a text that the sums leave out; the file stays readable.
    addMoney(project, MoneyFlowRecord::Income, "Broken", std::numeric_limits<double>::quiet_NaN());
    addMoney(project, MoneyFlowRecord::Expense, "Steel \x01<&>", 99.5); // control byte and XML characters

    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString file = work.filePath("Bridge.xlsx");
    ASSERT_EQ(XlsxExport::write(m_store, project, file, kUs), QString());
    XlsxExport::MoneyRows rows;
    XlsxExport::sheet(m_store, project, kUs, &rows);
    const int sums = rows.lastEntry + 4;

    // Column separator ",", text in double quotes, UTF-8 (76), the first sheet.
    const QString csv = "csv:Text - txt - csv (StarCalc):44,34,76,1";
    for (const bool recalculate : {false, true}) {
        SCOPED_TRACE(recalculate ? "recalculated on load" : "default settings");
        const QString profile = work.filePath(recalculate ? "recalculating" : "default");
        if (recalculate)
            writeRecalculatingProfile(profile);
        const QString out = work.filePath(recalculate ? "csv-recalculated" : "csv-default");
        ASSERT_TRUE(QDir().mkpath(out));
        ASSERT_EQ(convertWithOffice(file, csv, out, profile), QString());
        const QList<QStringList> table = csvRows(out + "/Bridge.csv");
        ASSERT_GE(table.size(), sums + 2);
        auto cell = [&](char column, int row) { return table[row - 1].value(column - 'A'); };

        EXPECT_EQ(cell('C', 2), "Caf\u00e9 Bridge");
        EXPECT_EQ(cell('C', 10), "1 Mill Road\nLeeds");
        EXPECT_EQ(cell('B', 17), "Ann");
        EXPECT_EQ(cell('F', 21), "Ann");
        EXPECT_EQ(cell('H', 26), "Welcome");
        EXPECT_EQ(cell('M', 26), "Ann\nBob");
        EXPECT_EQ(cell('B', rows.header), "Income (in \u20ac )");
        EXPECT_TRUE(cell('D', rows.header + 1).startsWith("Steel "))
            << cell('D', rows.header + 1).toStdString();
        EXPECT_TRUE(cell('D', rows.header + 1).endsWith("<&>\n(7/10/07)"));
        EXPECT_EQ(cell('B', sums), "Income");
        EXPECT_EQ(cell('C', sums), "1250.25");
        EXPECT_EQ(cell('C', sums + 1), "99.50");
        EXPECT_EQ(cell('C', sums + 2), "1349.75");
    }
}

} // namespace
