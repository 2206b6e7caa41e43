#pragma once

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

namespace korvane {

class RecordStore;

/**
 * Everything the details report, the HTML export and the print page show of one project, in the
 * order they show it: the records walked in the maps' enumeration order with the pages' matching
 * rules, every record text already escaped for HTML and every date and amount already formatted.
 */
struct PageData
{
    struct Lead
    {
        QString name;
        QString designation;
        QString phone1;
        QString phone2;
    };
    struct Task
    {
        QString name;
        int priority = 0;
        QString start;
        QString end;
        /** One name per entry of the resources list; a resource that is not found gives "". */
        QStringList resources;
    };
    struct AgendaItem
    {
        QString name;
        QString time;
    };
    struct ActionItem
    {
        QString todo;
        QString dueDate;
        QString who;
    };
    struct Meeting
    {
        QString subject;
        QString start;
        QString end;
        /** Empty when the agenda file cannot be read; otherwise its items (possibly none). */
        std::optional<QList<AgendaItem>> agenda;
        /** Empty when the action file cannot be read; otherwise its items (possibly none). */
        std::optional<QList<ActionItem>> actions;
        QStringList attendees;
    };
    struct Entry
    {
        QString name;
        QString date;
        /** The net amount, "%.2f". */
        QString net;
    };

    /** False for an unknown project; nothing else is filled then. */
    bool found = false;
    QString name;
    QString endUser;
    /** Start and end dates with the picture "dd MMM yy". */
    QString startDate;
    QString endDate;
    QString clientName;
    QString contactPerson;
    QList<Lead> leads;
    QList<Task> tasks;
    QList<Meeting> meetings;
    QList<Entry> incomes;
    QList<Entry> expenses;
    /** Income and expense totals, "%.2f". */
    QString incomeTotal;
    QString expenseTotal;
    /** "Profit: : $1.00" or "Loss: : $1.00", the loss without its sign. */
    QString balanceLine;

    /** Collects a project's data from the store; the list files are read from the data folder. */
    static PageData collect(const RecordStore& store, const QByteArray& projectIdentifier,
                            const QLocale& locale = QLocale::system());

    /** The colour a task's name is written in on the export and print pages, by priority. */
    static QString priorityColour(int priority);
};

} // namespace korvane
