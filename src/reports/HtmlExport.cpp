#include "reports/HtmlExport.h"

#include "records/Text.h"
#include "reports/InvoiceReport.h"
#include "reports/PageData.h"
#include "reports/PageWriter.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace korvane {

using namespace Qt::Literals::StringLiterals;

namespace {

const QLatin1StringView kSpacerFirstCell =
    "\n<tr>\n<td width='2%' bordercolor='#808080' bgcolor='#808080' height='17'>&nbsp;</td>"_L1;
const QLatin1StringView kSpacerMiddleCell =
    "\n<td width='48%' bordercolor='#808080' bgcolor='#808080' height='17'>&nbsp;</td>"_L1;
const QLatin1StringView kSpacerLastCell =
    "\n<td width='2%' bordercolor='#808080' bgcolor='#808080' height='17'>&nbsp;</td>\n</tr>"_L1;

QString spacerRow()
{
    QString row = kSpacerFirstCell;
    row += kSpacerMiddleCell;
    row += kSpacerMiddleCell;
    row += kSpacerLastCell;
    return row;
}

/** Copies the signature image into the export's "Images" folder; returns why it could not, or "". */
QString copySignature(const QString& signature, const QString& imagesFolder)
{
    // A path stored by the Windows program separates its folders with "\".
    const QString source = QString(signature).replace(u'\\', u'/');
    const QString target = imagesFolder + QLatin1Char('/') + InvoiceReport::imageFileName(signature);
    // Exporting next to the picture itself: copying it onto itself would gain nothing.
    if (QFileInfo(source).absoluteFilePath() == QFileInfo(target).absoluteFilePath())
        return {};
    QByteArray bytes;
    QString error;
    if (!SafeFile::read(source, bytes, &error))
        return error;
    return SafeFile::write(target, bytes);
}

QString imagesFolderBeside(const QString& file)
{
    return QFileInfo(file).absolutePath() + u"/Images"_s;
}

} // namespace

const QStringList& HtmlExport::projectImages()
{
    static const QStringList names{u"empty.bmp"_s,   u"Project.bmp"_s, u"Action.bmp"_s, u"Agenda.bmp"_s,
                                   u"Expense.bmp"_s, u"High.bmp"_s,    u"Income.bmp"_s, u"Lead1.bmp"_s,
                                   u"Lead.bmp"_s,    u"Low.bmp"_s,     u"Medium.bmp"_s, u"Meeting1.bmp"_s,
                                   u"Meeting.bmp"_s, u"Payment.bmp"_s, u"Task.bmp"_s,   u"Turnover.bmp"_s,
                                   u"Project1.bmp"_s};
    return names;
}

QString HtmlExport::projectText(const RecordStore& store, const QByteArray& projectIdentifier,
                                const QLocale& locale)
{
    const PageData data = PageData::collect(store, projectIdentifier, locale);
    if (!data.found)
        return u"<html><body background=Images\\empty.bmp><center>No Project Is Selected</center></body></html>"_s;

    QString page;
    page += "<html>\n<body background=Images\\empty.bmp>"_L1;
    page += "\n<center><b><font size=5 color=black><img src = Images\\Project.bmp>"_L1 + data.name +
            "</font></b></center>"_L1;

    page += "\n<hr color=#000000 size=4><font size = 3>\n"_L1;
    page += " End User&nbsp;&nbsp;&nbsp; : <font color=#0000FF>"_L1 + data.endUser + "</font><br>\n"_L1;
    page += " Duration&nbsp;&nbsp;&nbsp; : <font color=#0000FF>"_L1 + data.startDate + " - "_L1 +
            data.endDate + "</font><br>\n"_L1;
    page += " Client &nbsp;&nbsp;&nbsp; : <font color=#0000FF>"_L1 + data.clientName + "</font><br>\n"_L1;
    page += " Contact&nbsp;&nbsp;&nbsp; : <font color=#0000FF>"_L1 + data.contactPerson +
            "</font><br>\n</font>\n"_L1;

    page += "\n<hr color=#000000 size=4><b><font size=3 color=#000000>Lead By&nbsp;&nbsp;&nbsp; :</font></b>"
            "<font size=3>\n<ul imagesrc=Images/Lead1.bmp>"_L1;
    for (const PageData::Lead& lead : data.leads) {
        page += "\n<li>"_L1 + lead.name + " - "_L1 + lead.designation + "\n<ul type=square>\n<li>Ph1: "_L1 +
                lead.phone1 + "</li>\n<li>Ph2: "_L1 + lead.phone2 + "</li>\n</ul>\n</li>\n"_L1;
    }
    page += data.leads.isEmpty() ? "<li>No One Assigned</li></ul></ul></font>"_L1 : "</ul>\n</font>"_L1;

    page += "\n<hr color=#000000 size=4><b><font size=3>Tasks :</font></b>\n<ul imagesrc=Images/Task.bmp>"_L1;
    for (const PageData::Task& task : data.tasks) {
        page += "\n<li><b><font color="_L1 + PageData::priorityColour(task.priority) + " size=3>"_L1 +
                task.name + "</font></b>( <font color=#008000>"_L1 + task.start +
                "</font> - <font color=#800000>"_L1 + task.end + "</font> )"_L1;
        if (!task.resources.isEmpty()) {
            page += "<font size=3>\n<ul>\n<li><i>Resources </i>: "_L1 + task.resources.join(", "_L1) +
                    "</li>\n</ul>\n</li>\n</font>"_L1;
        }
    }
    page += data.tasks.isEmpty() ? "\n<li>No Tasks Assigned<li>\n</ul>"_L1 : "\n</ul>"_L1;

    page += "\n<hr color=#000000 size=4><b>Meetings :</b>\n<ul imagesrc=Images/Meeting1.bmp>"_L1;
    for (const PageData::Meeting& meeting : data.meetings) {
        page += "\n<li><font color=#000000 size=3>"_L1 + meeting.subject + " - </font>"_L1 + meeting.start +
                " - "_L1 + meeting.end + "\n<ul type=square>\n<li><font color=#111111> Agenda </font>"_L1;
        page += "\n<ul imagesrc=Images/Agenda.bmp>"_L1;
        if (!meeting.agenda || meeting.agenda->isEmpty())
            page += "\n<li>No Agenda Assigned</li>\n"_L1;
        else
            for (const PageData::AgendaItem& item : *meeting.agenda)
                page += "\n<li>"_L1 + item.name + item.time + "</li>\n"_L1;

        page += "\n</ul>\n</li>\n<li><font color=#111111> Action</font>\n<ul imagesrc=Images/Action.bmp>"_L1;
        if (!meeting.actions)
            page += "\n<li>No Actions Assigned</li>\n"_L1;
        else if (meeting.actions->isEmpty())
            page += "\n<li>No Action Assigned</li>\n"_L1;
        else
            for (const PageData::ActionItem& item : *meeting.actions)
                page += "\n<li>"_L1 + item.todo + item.dueDate + "-"_L1 + item.who + "</li>\n"_L1;

        page += "\n</ul>\n</li>\n<li> Attendees\n<ul imagesrc=Images/Lead.bmp>"_L1;
        for (const QString& attendee : meeting.attendees)
            page += "\n<li>"_L1 + attendee + "</li>\n"_L1;
        if (meeting.attendees.isEmpty())
            page += "\n<li>No Attendees</li>\n"_L1;
        page += "\n</ul>\n</li>"_L1;
    }
    if (data.meetings.isEmpty())
        page += "\n<li>No Meetings Arranged</li>\n"_L1;
    page += "\n</ul>\n<hr color=#000000 size=4><b><font size=3>Payment Track :</font></b>"_L1;

    page += "\n<table border=1 cellspacing=0 cellpadding=0 bordercolor=#808080 width=100% height=277>"_L1;
    page += "\n<tr>\n<td width='2%' bgcolor='#808080' bordercolor='#808080' height='19'>&nbsp;</td>"_L1;
    page += "\n<td width='48%' bgcolor='#808080' bordercolor='#808080' height='19'><p align='center'>"
            "<font color='#FFFF00'>Income</font></td>"_L1;
    page += "\n<td width='48%' bgcolor='#808080' bordercolor='#808080' height='19'><p align='center'>"
            "<font color='#FFFF00'>Expense</font></td>"_L1;
    page += "\n<td width='2%' bgcolor='#808080' bordercolor='#808080' height='19'>&nbsp;</td>\n</tr>"_L1;
    page += "\n<tr>\n<td width='1%' height='161' bgcolor='#808080'>&nbsp;</td>\n"_L1;

    auto column = [](const QList<PageData::Entry>& entries, QLatin1StringView head, QLatin1StringView none) {
        QString text = head;
        for (const PageData::Entry& entry : entries) {
            text += "\n<li><font color=#0000FF>"_L1 + entry.name + "("_L1 + entry.date +
                    ")</font>\n<ul>\n<li><font color='#0000FF'>Net: "_L1 + entry.net +
                    "</font>\n</li>\n</ul>\n</li>"_L1;
        }
        text += entries.isEmpty() ? none : "\n</ul>\n</td>"_L1;
        return text;
    };
    page += column(data.incomes,
                   "<td width='48%' height='161' bgcolor='#D3D3D3'>\n<ul imagesrc='Images/Income.bmp'>"_L1,
                   "\n<li>No Income</li>\n</ul>\n</td>"_L1);
    page += column(data.expenses,
                   "<td width='48%' height='161' bgcolor='#D3D3D3'>\n<ul imagesrc='Images/Expense.bmp'>"_L1,
                   "\n<li>No Expenses</li>\n</ul>\n</td>"_L1);
    page += "\n<td width='2%' height='161' bgcolor='#808080'>&nbsp;</td>\n</tr>"_L1;

    page += spacerRow();
    page += kSpacerFirstCell;
    page += "\n<td width='48%' bordercolor='#808080' bgcolor='#B7FFDB' height='17'><center>Net Amt : "_L1 +
            data.incomeTotal + "<center></td>"_L1;
    page += "\n<td width='48%' bordercolor='#808080' bgcolor='#FFBEBE' height='17'><center>Net Amt : "_L1 +
            data.expenseTotal + "<center></td>"_L1;
    page += kSpacerLastCell;

    page += "\n<tr>\n<td width='2%' bgcolor='#808080' height='19'>&nbsp;</td>"_L1;
    page += "\n<td width='96%' colspan=2 bgcolor='#56A9C9' height='19'><font color='#0000FF'>"_L1 +
            data.balanceLine + "</font></td>"_L1;
    page += "\n<td width='2%' bgcolor='#808080' height='19'>&nbsp;</td>\n</tr>"_L1;

    page += spacerRow();
    page += "\n</table></body></html>"_L1;
    return page;
}

namespace {
/**
 * The bytes of a page that leaves the program: the text has no character set declaration, and a
 * browser would read it as Windows-1252; a UTF-8 byte order mark tells it otherwise without
 * changing the text.
 */
QByteArray standalonePage(const QString& text)
{
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}
} // namespace

HtmlExport::Result HtmlExport::exportProject(const RecordStore& store, const QByteArray& projectIdentifier,
                                             const QString& file, const QLocale& locale)
{
    // The page goes first, so a file that cannot be written leaves nothing behind beside it.
    Result result;
    result.error = SafeFile::write(file, standalonePage(projectText(store, projectIdentifier, locale)));
    if (result.ok())
        result.skippedImages = PageWriter::copyBitmaps(projectImages(), imagesFolderBeside(file));
    return result;
}

HtmlExport::Result HtmlExport::exportInvoice(const RecordStore& store, const QByteArray& invoiceIdentifier,
                                             const QString& file, const QLocale& locale)
{
    Result result;
    result.error =
        SafeFile::write(file, standalonePage(InvoiceReport::letter(store, invoiceIdentifier, false, false, locale)));
    if (!result.ok())
        return result;
    const QString images = imagesFolderBeside(file);
    QDir().mkdir(images);
    const QString signature = displayText(store.GetInvoice(invoiceIdentifier).signatureImage);
    if (!signature.isEmpty()) {
        const QString problem = copySignature(signature, images);
        if (!problem.isEmpty())
            result.skippedImages.append(problem);
    }
    return result;
}

} // namespace korvane
