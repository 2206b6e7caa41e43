#pragma once

#include "reports/XlsxSheet.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

namespace korvane {

class RecordStore;

/**
 * "Export To MS Excel": one worksheet with the project's facts and client, its leads, tasks and
 * meetings (with agenda, actions and attendees), and its money flow with "=Sum(...)" formulas.
 *
 * Rows: facts in B/C rows 2-13 (row 7 empty); the resources header in row 16; the tasks header 3
 * rows below the last resource row, the meetings header 3 rows below the last task row with a
 * sub-header under it, and the money flow header H 3 rows below the last meeting row. Income and
 * expense entries fill B/C and D/E downwards from H + 1, each side with its own row counter; with
 * M the larger counter (H when there is no entry) rows M + 4 to M + 6 hold the sums "Income",
 * "Expense" and "Total" in column C; "Total" adds the two sums (the money turned over, not the balance).
 *
 * Records are walked in the maps' enumeration order; texts are shown as `displayText` decodes them.
 * An amount that is not a finite number (a damaged file) is written as its text ("nan"), and the
 * sums leave it out, as the sheet's own SUM does.
 */
class XlsxExport
{
public:
    /** The rows of the money flow block, for the layout's users and tests. */
    struct MoneyRows
    {
        /** The header row H. */
        int header = 0;
        /** M: the last row either side used, H when there is no entry. */
        int lastEntry = 0;
    };

    /** Lays the project's worksheet out; an unknown project shows as an all-empty one. */
    static XlsxSheet sheet(const RecordStore& store, const QByteArray& projectIdentifier,
                           const QLocale& locale = QLocale::system(), MoneyRows* moneyRows = nullptr);

    /**
     * Writes the project's workbook to `path`, replacing the file whole or not at all.
     * Returns "" or the message for the user, naming the document kind and the reason.
     */
    static QString write(const RecordStore& store, const QByteArray& projectIdentifier, const QString& path,
                         const QLocale& locale = QLocale::system());
};

} // namespace korvane
