#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

namespace korvane {

/**
 * One worksheet held as plain data, cell by cell at A1 references, and saved as an .xlsx workbook
 * with libxlsxwriter. Keeping the cells as data lets every row, text and formula be checked without
 * opening the file.
 *
 * A formula is kept together with the value it computes and both are written, because LibreOffice
 * does not recalculate an .xlsx on load by default: a formula without its value would show 0.
 * Columns widen to fit their texts up to a limit; a text with line feeds, or too long for its
 * column, is shown wrapped, and its row is made tall enough for its lines. A number that is not
 * finite, which no workbook can hold, is written as "#NUM!"; characters that no workbook can hold
 * (NUL, U+FFFE, U+FFFF, a lone surrogate) are left out of a text.
 */
class XlsxSheet
{
public:
    /** How a cell looks; the colours are those of the details report, so both read alike. */
    enum class Style
    {
        Plain,
        /** A label before a value (the facts block, the sum rows): bold. */
        Label,
        /** A table's header or sub-header cell: bold, coloured text on a coloured cell. */
        Header,
        /** A money amount: right aligned with two decimals. */
        Amount,
        /** The sums of the money flow: bold amounts on the colours of the details report's totals. */
        IncomeTotal,
        ExpenseTotal,
        Total,
    };

    /** One written cell. */
    struct Cell
    {
        enum class Kind
        {
            Text,
            Number,
            Formula
        };

        /** The column letter, 'A' to 'Z'. */
        char column = 'A';
        /** The row number, from 1 as in A1 references. */
        int row = 1;
        Kind kind = Kind::Text;
        /** The text, or the formula with its leading "=". */
        QString text;
        /** The number, or the value the formula computes. */
        double value = 0.0;
        Style style = Style::Plain;

        /** The cell's A1 reference ("C21"). */
        QString reference() const { return XlsxSheet::reference(column, row); }
    };

    /** Excel's limit on the characters of one cell; longer texts are cut there when saved. */
    static constexpr qsizetype kMaxCellText = 32767;

    /** The A1 reference of a column letter and a row number ("%c%d"). */
    static QString reference(char column, int row);

    /** Writes a text into a cell, replacing what the cell held. */
    void setText(char column, int row, const QString& text, Style style = Style::Plain);
    /** Writes a number into a cell. */
    void setNumber(char column, int row, double value, Style style = Style::Plain);
    /** Writes a formula such as "=Sum(C5:C9)" with the value it computes. */
    void setFormula(char column, int row, const QString& formula, double value, Style style = Style::Plain);

    /** Sets the least width of a column, in characters of the default font; it grows to fit its texts. */
    void setColumnWidth(char column, double width);

    /** The cell at an A1 reference, or nullptr when nothing was written there. */
    const Cell* cell(const QString& reference) const;
    /** The cells in the order they were first written. */
    const QList<Cell>& cells() const { return m_cells; }
    /** The largest row number written, 0 for an empty sheet. */
    int lastRow() const { return m_lastRow; }

    /**
     * Saves the sheet as a workbook of one worksheet. The file is written whole through a temporary
     * file that replaces the target only when complete, so a failure never leaves half a workbook.
     * Returns "" or the reason it failed.
     */
    QString save(const QString& path) const;

private:
    /** Column widths fitted to the texts, the cells whose texts wrap, and the lines each row needs. */
    struct Fit
    {
        QMap<char, double> widths;
        QSet<QString> wrapped;
        QMap<int, qsizetype> rowLines;
    };

    void put(Cell cell);
    Fit fitted() const;
    /** Packs the workbook into bytes; false with the reason when libxlsxwriter refuses. */
    bool pack(QByteArray& workbook, QString& error) const;

    QList<Cell> m_cells;
    QHash<QString, qsizetype> m_index;
    QMap<char, double> m_columnWidths;
    int m_lastRow = 0;
};

} // namespace korvane
