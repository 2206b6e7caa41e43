#pragma once

#include "reports/DocxWriter.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

namespace korvane {

class RecordStore;
struct TreeNode;

/**
 * The project report for Word: title, facts, leads, then the tasks, meetings and money flow as the
 * project details trees hold them, typed into a .docx document.
 */
class WordProjectReport
{
public:
    /** Dates and times are written as `locale` writes them (the system's, as the desktop shows them). */
    explicit WordProjectReport(const RecordStore& store, const QLocale& locale = QLocale::system());

    /** The report, with the three trees built for the project as the details bar builds them. */
    DocxWriter document(const QByteArray& projectId) const;

    /** The report from trees already built (the ones the details bar shows). */
    DocxWriter document(const QByteArray& projectId, const TreeNode& taskTree, const TreeNode& meetingTree,
                        const TreeNode& moneyTree) const;

    /** Writes the report to a .docx file whole; returns "" or the reason it could not. */
    QString write(const QByteArray& projectId, const QString& path) const;

private:
    void typeLeads(DocxWriter& doc, const QByteArray& clientId) const;
    void typeTasks(DocxWriter& doc, const TreeNode& taskTree) const;
    void typeMeetings(DocxWriter& doc, const TreeNode& meetingTree) const;
    void typeMoneyFlow(DocxWriter& doc, const TreeNode& moneyTree) const;

    const RecordStore& m_store;
    const QLocale m_locale;
};

} // namespace korvane
