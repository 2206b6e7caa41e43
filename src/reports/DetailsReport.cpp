#include "reports/DetailsReport.h"

#include "reports/PageData.h"
#include "reports/Utf8Text.h"

namespace korvane {

using namespace Qt::Literals::StringLiterals;

QString DetailsReport::generate(const RecordStore& store, const QByteArray& projectIdentifier,
                                const QLocale& locale)
{
    return QString::fromUtf8(generateUtf8(store, projectIdentifier, locale));
}

QByteArray DetailsReport::generateUtf8(const RecordStore& store, const QByteArray& projectIdentifier,
                                       const QLocale& locale)
{
    const PageData data = PageData::collect(store, projectIdentifier, locale);
    if (!data.found)
        return "<html><body bgcolor=#FFFFFF><br><center>No Project Is Selected</center></body></html>";

    Utf8Text page;
    page += "<html><body bgcolor=#A1A173 ><br><br>"_L1;
    page += "<table border=0 cellspacing=1 cellpadding=0 bordercolor=#111111 width=100% bgcolor=#FFFFCC>"_L1;
    page += "<tr><td width=100% bgcolor=#D1D1A3 colspan=2 bordercolor=#000000>"_L1;
    page += R"(<center><b><font size=4 color=#393C31><img src = Images\Project.bmp>  )"_L1 + data.name +
            "</font></b></center></td></tr>"_L1;

    page += "<tr>"_L1;
    page += "<td width=30% bgcolor=#FFFFCC><font size = 3>"_L1;
    page += "<p align=right><b>End User : <br>"_L1;
    page += "Duration : <br>"_L1;
    page += "Client : <br>"_L1;
    page += "Contact : </b></font></td>"_L1;
    page += "<td width=80% bgcolor=#FFFFCC>"_L1;
    page += "<font color=#0000FF size = 3>"_L1 + data.endUser + "<br>"_L1;
    page += data.startDate + " - "_L1 + data.endDate + "<br>"_L1;
    page += data.clientName + "<br>"_L1;
    page += data.contactPerson + "</font></td>"_L1;
    page += "</tr>"_L1;

    page += "<tr>"_L1;
    page += "<td width=100% colspan=2 bgcolor=#D1D1A3>"_L1;
    page += "<b><font size=3 color=#000000>Lead By:</font></b></td>"_L1;
    page += "</tr>"_L1;
    page += "<tr><td width=100% colspan = 3 bgcolor=#FFFFCC><font size=3><ul>"_L1;
    for (const PageData::Lead& lead : data.leads) {
        page += R"(<li><img src = Images\Lead1.bmp> )"_L1 + lead.name + " : "_L1 + lead.designation;
        page += "<ul><li>Ph1:"_L1 + lead.phone1 + "</li>"_L1;
        page += "<li>Ph2:"_L1 + lead.phone2 + "</li></ul></li>"_L1;
    }
    page += "</ul></font></td></tr>"_L1;
    if (data.leads.isEmpty()) {
        page += "<tr><td width=100% colspan=2 bgcolor=#FFFFCC>"_L1;
        page += "<center>No One Assigned </center>"_L1;
        page += "</td></tr>"_L1;
    }

    page += "<tr>"_L1;
    page += "<td width=100% colspan=2 bgcolor=#D1D1A3>"_L1;
    page += "<b><font size=3>Tasks :</font></b></td>"_L1;
    page += "</tr>"_L1;
    page += "<tr><td width=100% colspan=2 bgcolor=#FFFFCC>"_L1;
    for (const PageData::Task& task : data.tasks) {
        page += "<ul>"_L1;
        page += "<li>"_L1;
        page +=
            R"(<b><font color=#393C31 size=3><img src = Images\Task.bmp> )"_L1 + task.name + "</font></b>"_L1;
        page += "( <font color=#008000>"_L1 + task.start + "</font> - "_L1;
        page += "<font color=#800000 size=3>"_L1 + task.end + "</font> )"_L1;
        if (!task.resources.isEmpty()) {
            page += R"(<font size=3><ul><li><img src = Images\Lead.bmp><i> Resources </i>:)"_L1;
            page += task.resources.join(", "_L1);
            page += "</li></ul></font></li>"_L1;
        }
        page += "</ul>"_L1;
    }
    if (data.tasks.isEmpty())
        page += "<center>No Tasks Assigned</center>"_L1;
    page += "</td></tr>"_L1;

    page += "<tr><td width=100% colspan=2 bgcolor=#D1D1A3>"_L1;
    page += "<b><font size=3>Meetings :</font></b></td></tr>"_L1;
    page += "<tr><td width=100% colspan=2 bgcolor=#FFFFCC>"_L1;
    if (!data.meetings.isEmpty())
        page += "<ol>"_L1;
    for (const PageData::Meeting& meeting : data.meetings) {
        page += R"(<li><img src = Images\Meeting1.bmp><font color=#AE0057 size=3> )"_L1 + meeting.subject +
                "</font>"_L1;
        page += "<font size=3><ul><li>StartDateTime : "_L1 + meeting.start +
                "</li><li>End DateTime&nbsp; : "_L1 + meeting.end + "</li>"_L1;

        page += R"(<li><img src = Images\Agenda.bmp><font color=#111111> Agenda </font>)"_L1;
        if (!meeting.agenda) {
            page += "<ul> <li>No Agenda Assigned</li>"_L1;
        } else {
            page += "<ul>"_L1;
            if (meeting.agenda->isEmpty())
                page += "<li>No Agenda Assigned</li>"_L1;
            for (const PageData::AgendaItem& item : *meeting.agenda)
                page += "<li>"_L1 + item.name + item.time + "</li>"_L1;
        }

        page += R"(</ul></li><li><font color=#111111><img src = Images\Action.bmp> Action</font>)"_L1;
        if (!meeting.actions) {
            page += "<ul>"_L1;
            page += "<li>No Actions Assigned</li>"_L1;
        } else {
            page += "<ul>"_L1;
            if (meeting.actions->isEmpty())
                page += "<li>No Action Assigned</li>"_L1;
            for (const PageData::ActionItem& item : *meeting.actions)
                page += "<li>"_L1 + item.todo + item.dueDate + "-"_L1 + item.who + "</li>"_L1;
        }

        page += R"(</ul></li><li><img src = Images\Lead1.bmp> Attendees<ul>)"_L1;
        for (const QString& attendee : meeting.attendees)
            page += "<li>"_L1 + attendee + "</li>"_L1;
        if (meeting.attendees.isEmpty())
            page += "<li>No Attendees</li>"_L1;
        page += "</ul></li></ul></li>"_L1;
    }
    if (data.meetings.isEmpty())
        page += "<center>No Meetings Arranged</center></td></tr>"_L1;
    else
        page += "</ol></td></tr>"_L1;

    page +=
        "<tr><td width=100% colspan=2 bgcolor=#D1D1A3><b><font size=3>Pay Track :</font></b></td></tr>"_L1;
    page += "<tr><td width=50% bgcolor=#A1A173><center>Income</center></td>"_L1;
    page += "<td width=50% bgcolor=#A1A173><center>Expense</center></td></tr>"_L1;
    page += "</tr><tr>"_L1;

    auto column = [](const QList<PageData::Entry>& entries, QLatin1StringView bitmap,
                     QLatin1StringView none) {
        QString text = "<td width=50% bgcolor=#FFFFCC>"_L1;
        for (const PageData::Entry& entry : entries) {
            text += R"(<dl><dd><font color=#9B004E><img src = Images\)"_L1;
            text += bitmap;
            text += "> "_L1 + entry.name + "("_L1 + entry.date + ")</font>"_L1;
            text += "<dl><dd>Net: "_L1 + entry.net + "</dd></dl></dd></dl>"_L1;
        }
        if (entries.isEmpty())
            text += none;
        text += "</td>"_L1;
        return text;
    };
    page += column(data.incomes, "Income.bmp"_L1, "<center>No Income</center>"_L1);
    page += column(data.expenses, "Expense.bmp"_L1, "<center>No Expenses</center>"_L1);
    page += "</tr>"_L1;

    page += "<tr><td width=50% bgcolor=#A1A173><font color=#A1A173>###</font></td><td width=50% "
            "bgcolor=#A1A173><font color=#A1A173>###</font></td></tr>"_L1;
    page += "<tr><td width=50% bgcolor=#CCFF99>"_L1;
    page += "<center>Net Income </center>"_L1;
    page += "<center>"_L1 + data.incomeTotal + "</center></td>"_L1;
    page += "<td width=50% bgcolor=#FFCC99>"_L1;
    page += "<center>Net Expense </center>"_L1;
    page += "<center>"_L1 + data.expenseTotal + "</center></td>"_L1;
    page += "</tr>"_L1;

    page += "<tr><td width=10% colspan=2 bgcolor=#99CCFF>"_L1 + data.balanceLine + "</td></tr>"_L1;
    page += "</table></body></html>"_L1;
    return page.bytes();
}

PageResult DetailsReport::write(const RecordStore& store, const QByteArray& projectIdentifier,
                                const QLocale& locale)
{
    // A project of thousands of tasks makes a page of megabytes: it goes to the file as UTF-8 without
    // a QString of it beside.
    return PageWriter::writeUtf8(PageFile::Details, generateUtf8(store, projectIdentifier, locale));
}

} // namespace korvane
