#include "reports/PrintReport.h"

#include "reports/PageData.h"

namespace korvane {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kPowers[] = {10, 100, 1000, 10000};

QString factsRow(QLatin1StringView label, const QString& value)
{
    QString row = "<td width=30% align=left><font size = 3><b>"_L1;
    row += label;
    row +=
        "</b></font></td>\t\t\t\t\t<td width=20% align=center><font size = 3><b>:</b></font></td>\t\t\t\t\t"
        "<td width=50%  align=left><font color=#0000FF size = 3>"_L1;
    row += value;
    return row;
}

QString header(const PageData& data)
{
    QString text = "\n<center><b><font size=5 color=black><img src = Images\\Project.bmp>"_L1 + data.name +
                   "</font></b></center><hr color=#000000 size=4>"_L1;
    text += "\t<table border=0 cellspacing=1 cellpadding=0 bordercolor=#111111 width=80% bgcolor=#F9F9F9>"
            "\t\t\t\t\t"_L1;
    text += factsRow("End User"_L1, data.endUser) + "</font></td></tr>"_L1;
    text += "<tr>"_L1 + factsRow("Duration"_L1, data.startDate + " - "_L1 + data.endDate) +
            "</font></td></tr>"_L1;
    text += "<tr>"_L1 + factsRow("Client"_L1, data.clientName) + "</font></td></tr>"_L1;
    text += "<tr>"_L1 + factsRow("Contact"_L1, data.contactPerson) + "</font></td></tr></table>"_L1;
    return text;
}

QString leaders(const PageData& data)
{
    QString text =
        "\n<hr color=#000000 size=4><b><font size=3 color=#000000>Lead By&nbsp;&nbsp;&nbsp; :</font></b>"
        "<font size=3><br>\n"_L1;
    text += "<table border=0 cellspacing=1 cellpadding=0  width=80% bgcolor=#F9F9F9>"_L1;
    for (const PageData::Lead& lead : data.leads) {
        text += "<tr><td width=50%  bgcolor=#F9F9F9 valign=top><font size=3 ><b>"_L1;
        text += "<img src = Images\\Lead1.bmp> "_L1 + lead.name + "</font></b>"_L1;
        text +=
            "<br><font size=2 ><i>"_L1 + u"&nbsp;"_s.repeated(10) + lead.designation + "</i></font></td>"_L1;
        text += "<td width=50%  bgcolor=#F9F9F9><font size=3><b>"_L1;
        text += "<ul><li>Ph1:</b>"_L1 + lead.phone1 + "</li>"_L1;
        text += "<li><b>Ph2:</b>"_L1 + lead.phone2 + "</li></ul></font><br></td></tr>"_L1;
    }
    text += "</table>"_L1;
    if (data.leads.isEmpty())
        text += "<center>No One Assigned </center>"_L1;
    return text;
}

QString tasks(const PageData& data)
{
    QString text = "\n<hr color=#000000 size=4><b><font size=3>Tasks :</font></b>\n<dl>"_L1;
    for (const PageData::Task& task : data.tasks) {
        text += "\n<br><dd><img src=Images/Task.bmp><b><font color="_L1 +
                PageData::priorityColour(task.priority) + " size=3>"_L1 + task.name +
                "</font></b>( <font color=#008000>"_L1 + task.start + "</font> - <font color=#800000>"_L1 +
                task.end + "</font> )"_L1;
        if (!task.resources.isEmpty()) {
            text += "<font size=3>\n<dl>\n<dd><i>Resources :</i><ul>"_L1;
            for (const QString& resource : task.resources)
                text += "<li>"_L1 + resource + "</li>"_L1;
            text += "</ul></dd>\n</dl>\n</dd>\n</font>"_L1;
        }
    }
    // With no task the notice follows the closed list and closes it a second time, as the pages of
    // the Windows program do; browsers ignore the extra end tag.
    text += "\n</dl>"_L1;
    if (data.tasks.isEmpty())
        text += "\n<dd>No Tasks Assigned<dd>\n</dl>"_L1;
    return text;
}

QString meetings(const PageData& data)
{
    QString text = "\n<hr color=#000000 size=4><b>Meetings :</b>\n<dl>"_L1;
    for (const PageData::Meeting& meeting : data.meetings) {
        text += "\n<dd><img src=Images/Meeting1.bmp><font color=#000000 size=3>"_L1 + meeting.subject +
                " - </font>"_L1 + meeting.start + " - "_L1 + meeting.end +
                "\n<ul type=square>\n<li><font color=#111111> Agenda </font>"_L1;
        text += "\n<dl>"_L1;
        if (!meeting.agenda || meeting.agenda->isEmpty())
            text += "\n<dd>No Agenda Assigned</dd>\n"_L1;
        else
            for (const PageData::AgendaItem& item : *meeting.agenda)
                text += "\n<dd><img src=Images/Agenda.bmp>"_L1 + item.name + item.time + "</dd>\n"_L1;

        text += "\n</dl>\n</li>\n<li><font color=#111111> Action</font>\n<dl>"_L1;
        if (!meeting.actions)
            text += "\n<dd>No Actions Assigned</dd>\n"_L1;
        else if (meeting.actions->isEmpty())
            text += "\n<dd><img src=Images/Action.bmp>No Action Assigned</dd>\n"_L1;
        else
            for (const PageData::ActionItem& item : *meeting.actions)
                text += "\n<dd><img src=Images/Action.bmp>"_L1 + item.todo + item.dueDate + "-"_L1 +
                        item.who + "</dd>\n"_L1;

        text += "\n</dl>\n</li>\n<li> Attendees\n<dl>"_L1;
        for (const QString& attendee : meeting.attendees)
            text += "\n<dd><img src=Images/Lead.bmp>"_L1 + attendee + "</dd>\n"_L1;
        if (meeting.attendees.isEmpty())
            text += "\n<dd>No Attendees</dd>\n"_L1;
        text += "\n</dl>\n</li></ul></dd><br>"_L1;
    }
    if (data.meetings.isEmpty())
        text += "\n<dd>No Meetings Arranged</dd>\n"_L1;
    text += "\n</dl>\n"_L1;
    return text;
}

QString paymentTrack(const PageData& data)
{
    QString text = "\n<hr color=#000000 size=4><b><font size=3>Payment Track :</font></b>\t\t\t\t   \n"
                   "<table border=1 cellspacing=0 cellpadding=0  width=100% bgcolor=#F9F9F9>"_L1;
    text += "\n<tr>\n<td width=50% bgcolor=#AFFFAF align=center><b>Income</b></td>"_L1;
    text += "\n<td width=50% bgcolor=#FFAFAF align=center><b>Expense</b></td>\n</tr>"_L1;
    text += "\n<tr>"_L1;

    auto column = [](const QList<PageData::Entry>& entries, QLatin1StringView bitmap,
                     QLatin1StringView ending, QLatin1StringView none) {
        QString column = "\n<td width=50% bgcolor=#F9F9F9>\n<ol  type='1'>"_L1;
        for (const PageData::Entry& entry : entries) {
            column += "\n<li><font size=2 color=#9B004E><img src = Images\\"_L1;
            column += bitmap;
            column += "> "_L1 + entry.name + "("_L1 + entry.date + ")</font>"_L1;
            column += "\n<dl>\n<dd><font size=2><p align=right>Net: "_L1 + entry.net + ending;
        }
        if (entries.isEmpty())
            column += none;
        column += "\n</ol></td>"_L1;
        return column;
    };
    // An income entry ends without the line feed that closes an expense entry.
    text += column(data.incomes, "Income.bmp"_L1, "</p></font></dd>\n</dl>\n</li>"_L1,
                   "\n<center>No Income</center>"_L1);
    text += column(data.expenses, "Expense.bmp"_L1, "</p></font></dd>\n</dl>\n</li>\n"_L1,
                   "\n<center>No Expenses</center>"_L1);
    text += "\n</tr>"_L1;

    text += "\n<tr>\n<td width=50% bgcolor=#AFAFAF align=right><font size=2><b>"_L1;
    text += "Total Income </b>"_L1 + data.incomeTotal + "</font></td>"_L1;
    text += "\n<td width=50% bgcolor=#AFAFAF align=right><font size=2><b>"_L1;
    text += "Total Expense </b>"_L1 + data.expenseTotal + "</font></td>"_L1;
    text += "\n</tr>"_L1;
    text += "\n<tr>\n<td width=10% colspan=3 bgcolor=#99CCFF><font size=2 ><b>"_L1 + data.balanceLine +
            "</b>\n</td></tr></table>"_L1;
    return text;
}

} // namespace

int PrintReport::moduleNumber(const QList<Module>& modules)
{
    int number = 0;
    for (int index = 0; index < 4; ++index) {
        if (modules.contains(Module(index)))
            number += kPowers[index];
    }
    return number;
}

int PrintReport::allModules()
{
    return moduleNumber({Module::Leaders, Module::Task, Module::Meeting, Module::PaymentTrack});
}

bool PrintReport::includes(int moduleNumber, Module module)
{
    return (moduleNumber / kPowers[int(module)]) % 10 == 1;
}

QString PrintReport::project(const RecordStore& store, const QByteArray& projectIdentifier, int moduleNumber,
                             const QLocale& locale)
{
    const PageData data = PageData::collect(store, projectIdentifier, locale);
    if (!data.found)
        return u"<html><body><center>No Project Is Selected</center></body></html>"_s;

    QString text = header(data);
    if (includes(moduleNumber, Module::Leaders))
        text += leaders(data);
    if (includes(moduleNumber, Module::Task))
        text += tasks(data);
    if (includes(moduleNumber, Module::Meeting))
        text += meetings(data);
    if (includes(moduleNumber, Module::PaymentTrack))
        text += paymentTrack(data);
    text += "\n<hr color=#000000 size=1><center>----------------xxxxxxxxxx--------------</center>\n"
            "<hr color=#000000 size=8>"_L1;
    return text;
}

QString PrintReport::page(const RecordStore& store, const QList<QByteArray>& projectIdentifiers,
                          int moduleNumber, const QLocale& locale)
{
    QString text = "<html><body>"_L1;
    for (const QByteArray& identifier : projectIdentifiers)
        text += project(store, identifier, moduleNumber, locale);
    text += "\n</body></html>"_L1;
    return text;
}

PageResult PrintReport::write(const RecordStore& store, const QList<QByteArray>& projectIdentifiers,
                              int moduleNumber, const QLocale& locale)
{
    return PageWriter::write(PageFile::Print, page(store, projectIdentifiers, moduleNumber, locale));
}

} // namespace korvane
