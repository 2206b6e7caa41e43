#include "reports/XlsxSheet.h"

#include "store/SafeFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <xlsxwriter.h>

namespace korvane {

namespace {

// The details report's colours (its heading rows, the net income, net expense and balance cells).
constexpr lxw_color_t kHeadingText = 0x393C31;
constexpr lxw_color_t kHeadingCell = 0xD1D1A3;
constexpr lxw_color_t kIncomeCell = 0xCCFF99;
constexpr lxw_color_t kExpenseCell = 0xFFCC99;
constexpr lxw_color_t kTotalCell = 0x99CCFF;
constexpr const char* kAmountFormat = "0.00";
constexpr const char* kNotANumber = "#NUM!";
// The tallest row a workbook may have, in points.
constexpr double kMaxRowHeight = 409.0;
// The width of a column nobody set, and the widest a column grows to fit its texts.
constexpr double kDefaultWidth = 8.43;
constexpr double kMaxFittedWidth = 50.0;

/**
 * True for a character the library cannot pass on: it escapes the other control characters
 * ("_x0001_"), but takes the text as a C string, so a NUL would cut the cell short, and it writes
 * the two non-characters and a lone surrogate as they are, which no XML reader accepts: one of them
 * would cost the workbook every text it holds.
 */
bool unwritable(QStringView text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate())
        return i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !text.at(i - 1).isHighSurrogate();
    return c.unicode() == 0 || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF;
}

/** A text as the library takes it: UTF-8, without what it cannot write, cut to what one cell holds. */
QByteArray cellText(const QString& text)
{
    QString clean;
    clean.reserve(std::min(text.size(), XlsxSheet::kMaxCellText));
    for (qsizetype i = 0; i < text.size() && clean.size() < XlsxSheet::kMaxCellText; ++i) {
        if (!unwritable(text, i))
            clean.append(text.at(i));
    }
    if (clean.size() == XlsxSheet::kMaxCellText && clean.back().isHighSurrogate())
        clean.chop(1); // never split a character in two
    return clean.toUtf8();
}

QString libraryError(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

/** The formats of one workbook, made on first use for each style and wrapping. */
class Formats
{
public:
    explicit Formats(lxw_workbook* workbook) : m_workbook(workbook) {}

    lxw_format* get(XlsxSheet::Style style, bool wrap)
    {
        const int key = int(style) * 2 + (wrap ? 1 : 0);
        if (lxw_format* made = m_made.value(key))
            return made;
        lxw_format* format = workbook_add_format(m_workbook);
        // Cells of one row line up at the top when some of them run over several lines.
        format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
        if (wrap)
            format_set_text_wrap(format);
        switch (style) {
        case XlsxSheet::Style::Plain:
            break;
        case XlsxSheet::Style::Label:
            format_set_bold(format);
            format_set_font_color(format, kHeadingText);
            break;
        case XlsxSheet::Style::Header:
            format_set_bold(format);
            format_set_font_color(format, kHeadingText);
            format_set_bg_color(format, kHeadingCell);
            break;
        case XlsxSheet::Style::Amount:
            format_set_align(format, LXW_ALIGN_RIGHT);
            // Kept off the entry name that follows it in the next column.
            format_set_indent(format, 1);
            format_set_num_format(format, kAmountFormat);
            break;
        case XlsxSheet::Style::IncomeTotal:
        case XlsxSheet::Style::ExpenseTotal:
        case XlsxSheet::Style::Total:
            format_set_bold(format);
            format_set_align(format, LXW_ALIGN_RIGHT);
            format_set_num_format(format, kAmountFormat);
            format_set_bg_color(format, style == XlsxSheet::Style::IncomeTotal    ? kIncomeCell
                                        : style == XlsxSheet::Style::ExpenseTotal ? kExpenseCell
                                                                                  : kTotalCell);
            break;
        }
        m_made.insert(key, format);
        return format;
    }

private:
    lxw_workbook* m_workbook;
    QHash<int, lxw_format*> m_made;
};

} // namespace

QString XlsxSheet::reference(char column, int row)
{
    return QString::asprintf("%c%d", column, row);
}

void XlsxSheet::put(Cell cell)
{
    Q_ASSERT(cell.column >= 'A' && cell.column <= 'Z' && cell.row >= 1);
    const QString key = cell.reference();
    m_lastRow = std::max(m_lastRow, cell.row);
    const auto found = m_index.constFind(key);
    if (found != m_index.cend()) {
        m_cells[*found] = std::move(cell);
        return;
    }
    m_index.insert(key, m_cells.size());
    m_cells.append(std::move(cell));
}

void XlsxSheet::setText(char column, int row, const QString& text, Style style)
{
    put(Cell{column, row, Cell::Kind::Text, text, 0.0, style});
}

void XlsxSheet::setNumber(char column, int row, double value, Style style)
{
    put(Cell{column, row, Cell::Kind::Number, {}, value, style});
}

void XlsxSheet::setFormula(char column, int row, const QString& formula, double value, Style style)
{
    put(Cell{column, row, Cell::Kind::Formula, formula, value, style});
}

void XlsxSheet::setColumnWidth(char column, double width)
{
    m_columnWidths.insert(column, width);
}

const XlsxSheet::Cell* XlsxSheet::cell(const QString& reference) const
{
    const auto found = m_index.constFind(reference);
    return found == m_index.cend() ? nullptr : &m_cells[*found];
}

XlsxSheet::Fit XlsxSheet::fitted() const
{
    Fit fit;
    fit.widths = m_columnWidths;
    for (const Cell& cell : m_cells) {
        if (cell.kind != Cell::Kind::Text)
            continue;
        double& width = fit.widths[cell.column];
        for (QStringView line : QStringView(cell.text).left(kMaxCellText).split(u'\n'))
            width = std::max(width, std::min(kMaxFittedWidth, double(line.size() + 1)));
    }
    // Rows are not fitted to wrapped text when a workbook is opened (LibreOffice keeps the default
    // height), so each row is made as many lines high as its fullest cell needs.
    for (const Cell& cell : m_cells) {
        if (cell.kind != Cell::Kind::Text)
            continue;
        const double usable = std::max(1.0, fit.widths.value(cell.column, kDefaultWidth) - 1.0);
        qsizetype lines = 0;
        for (QStringView line : QStringView(cell.text).left(kMaxCellText).split(u'\n'))
            lines += std::max<qsizetype>(1, qsizetype(std::ceil(double(line.size()) / usable)));
        if (lines > 1)
            fit.wrapped.insert(cell.reference());
        qsizetype& rowLines = fit.rowLines[cell.row];
        rowLines = std::max(rowLines, lines);
    }
    return fit;
}

bool XlsxSheet::pack(QByteArray& workbookBytes, QString& error) const
{
    // libxlsxwriter writes only to a named file: let it write into a private folder, then read
    // the bytes back, so the target itself is written once, whole, by the one safe writer.
    const QTemporaryDir folder;
    if (!folder.isValid()) {
        error = QStringLiteral("no temporary folder: %1").arg(folder.errorString());
        return false;
    }
    const QString packed = folder.filePath(QStringLiteral("workbook.xlsx"));
    lxw_workbook* workbook = workbook_new(QFile::encodeName(packed).constData());
    if (!workbook) {
        error = libraryError(LXW_ERROR_MEMORY_MALLOC_FAILED);
        return false;
    }
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, nullptr);
    lxw_error failed = worksheet ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
    QString failedCell;

    if (worksheet) {
        // The sheet is wide (columns A to M): printed across, one page wide.
        worksheet_set_landscape(worksheet);
        worksheet_fit_to_pages(worksheet, 1, 0);
    }

    const Fit fit = fitted();
    for (auto it = fit.widths.cbegin(); failed == LXW_NO_ERROR && it != fit.widths.cend(); ++it) {
        const lxw_col_t column = lxw_col_t(it.key() - 'A');
        failed = worksheet_set_column(worksheet, column, column, it.value(), nullptr);
    }
    for (auto it = fit.rowLines.cbegin(); failed == LXW_NO_ERROR && it != fit.rowLines.cend(); ++it) {
        if (it.value() < 2)
            continue;
        const double height = std::min(kMaxRowHeight, LXW_DEF_ROW_HEIGHT * double(it.value()));
        failed = worksheet_set_row(worksheet, lxw_row_t(it.key() - 1), height, nullptr);
    }

    Formats formats(workbook);
    for (const Cell& cell : m_cells) {
        if (failed != LXW_NO_ERROR)
            break;
        const lxw_row_t row = lxw_row_t(cell.row - 1);
        const lxw_col_t column = lxw_col_t(cell.column - 'A');
        const bool wrap = cell.kind == Cell::Kind::Text && fit.wrapped.contains(cell.reference());
        lxw_format* format = formats.get(cell.style, wrap);
        // A file cannot hold an infinite or undefined number ("inf" would make it unreadable):
        // such a value shows as the error that Excel itself gives for it.
        const bool finite = std::isfinite(cell.value);
        switch (cell.kind) {
        case Cell::Kind::Text:
            failed = worksheet_write_string(worksheet, row, column, cellText(cell.text).constData(), format);
            break;
        case Cell::Kind::Number:
            failed = finite ? worksheet_write_number(worksheet, row, column, cell.value, format)
                            : worksheet_write_string(worksheet, row, column, kNotANumber, format);
            break;
        case Cell::Kind::Formula:
            failed = finite
                         ? worksheet_write_formula_num(worksheet, row, column, cell.text.toUtf8().constData(),
                                                       format, cell.value)
                         : worksheet_write_formula_str(worksheet, row, column, cell.text.toUtf8().constData(),
                                                       format, kNotANumber);
            break;
        }
        if (failed != LXW_NO_ERROR)
            failedCell = cell.reference();
    }

    // The workbook is closed and freed even after a failed cell, so nothing is left behind.
    const lxw_error closed = workbook_close(workbook);
    if (failed != LXW_NO_ERROR) {
        error = failedCell.isEmpty() ? libraryError(failed)
                                     : QStringLiteral("cell %1: %2").arg(failedCell, libraryError(failed));
        return false;
    }
    if (closed != LXW_NO_ERROR) {
        error = libraryError(closed);
        return false;
    }
    return SafeFile::read(packed, workbookBytes, &error);
}

QString XlsxSheet::save(const QString& path) const
{
    QByteArray workbook;
    QString error;
    if (!pack(workbook, error))
        return QStringLiteral("%1: %2").arg(path, error);
    return SafeFile::write(path, workbook);
}

} // namespace korvane
