#include "views/widgets/ProgressChart.h"

#include "store/DisplayFormat.h"
#include "views/widgets/ProgressChartDelegate.h"

#include <QAbstractTableModel>
#include <QEvent>
#include <QHeaderView>

#include <algorithm>

namespace korvane {

using namespace Qt::Literals::StringLiterals;

namespace {

enum Column
{
    LeadColumn = 0,
    NameColumn = 1,
    TimeLineColumn = 2,
    StatusColumn = 3
};

} // namespace

/**
 * The chart's rows for the view: a table over the graph model's rows whose texts are made when the
 * view or an assistive tool asks, so that a project of thousands of tasks keeps no texts per cell.
 */
class ProgressChart::RowModel : public QAbstractTableModel
{
public:
    explicit RowModel(const ProgressGraphModel& graph, QObject* parent)
        : QAbstractTableModel(parent), m_graph(graph)
    {
    }

    void reset()
    {
        beginResetModel();
        m_now = DateTime::now();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_graph.rows().size());
    }

    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 4; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        // Never shown, the header is hidden; they name the columns for assistive tools.
        static const QString names[] = {u"Lead By"_s, u"Project /Task"_s, u"Time line"_s, u"Status"_s};
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 3)
            return {};
        return names[section];
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || size_t(index.row()) >= m_graph.rows().size())
            return {};
        const GraphRow& row = m_graph.rows()[size_t(index.row())];
        // The cells are painted by the delegate; the texts are what assistive tools read out.
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return text(row, index.column());
        if (role == Qt::ToolTipRole && row.kind != GraphRow::Header && row.kind != GraphRow::Legend) {
            switch (index.column()) {
            case LeadColumn:
                return row.lead;
            case NameColumn:
                return row.name + u"\n"_s + dates(row);
            case TimeLineColumn:
                return text(row, TimeLineColumn);
            default:
                break;
            }
        }
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

private:
    static QString dates(const GraphRow& row)
    {
        const QLocale locale;
        return DisplayFormat::shortDate(row.start, locale) + u" - "_s +
               DisplayFormat::shortDate(row.end, locale);
    }

    QString text(const GraphRow& row, int column) const
    {
        switch (row.kind) {
        case GraphRow::Header:
            switch (column) {
            case LeadColumn:
                return u"Lead By"_s;
            case NameColumn:
                return u"Project /Task"_s;
            case TimeLineColumn: {
                const QLocale locale;
                return m_graph.axis().caption(locale) + u": "_s +
                       m_graph.axis().labelTexts(locale).join(u", "_s);
            }
            default:
                return u"Status"_s;
            }
        case GraphRow::Legend:
            return column == LeadColumn ? u"BEHIND, AHEAD, COMPLETED"_s : QString();
        default:
            switch (column) {
            case LeadColumn:
                return row.lead;
            case NameColumn:
                return row.name;
            case TimeLineColumn:
                return u"%1, %2 % done"_s.arg(dates(row)).arg(row.completion);
            default:
                return ProgressGraphModel::statusText(ProgressGraphModel::status(row, m_now));
            }
        }
    }

    const ProgressGraphModel& m_graph;
    DateTime m_now = DateTime::now();
};

ProgressChart::ProgressChart(QWidget* parent) : QTreeView(parent), m_rows(new RowModel(m_model, this))
{
    setObjectName(u"progressChart"_s);
    setProperty("lightPage", true); // the rows' colours are fixed for a white background
    setAccessibleName(u"Progress graph"_s);
    setModel(m_rows);
    header()->hide();
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFocusPolicy(Qt::StrongFocus);
    setItemDelegate(new ProgressChartDelegate(this));
    fitColumns();
}

void ProgressChart::fill(const RecordStore& store, const QByteArray& projectId)
{
    m_model.fill(store, projectId);
    m_rows->reset();
    const auto& rows = m_model.rows();
    if (!rows.empty() && rows.back().kind == GraphRow::Legend)
        setFirstColumnSpanned(int(rows.size()) - 1, {}, true);
}

const GraphRow* ProgressChart::graphRow(int row) const
{
    const auto& rows = m_model.rows();
    if (row < 0 || size_t(row) >= rows.size())
        return nullptr;
    return &rows[size_t(row)];
}

const GraphAxis& ProgressChart::axis() const
{
    return m_model.axis();
}

int ProgressChart::rowCount() const
{
    return m_rows->rowCount();
}

bool ProgressChart::viewportEvent(QEvent* event)
{
    // The viewport narrows also when the vertical scroll bar comes, without a resize of the chart.
    if (event->type() == QEvent::Resize)
        fitColumns();
    return QTreeView::viewportEvent(event);
}

int ProgressChart::textColumnWidth() const
{
    const QFontMetrics metrics(ProgressChartDelegate::boldFont(font()));
    return kShownCharacters * metrics.averageCharWidth() + metrics.horizontalAdvance(u"..."_s) +
           2 * ProgressChartDelegate::kTextPadding;
}

void ProgressChart::fitColumns()
{
    const int text = textColumnWidth();
    setColumnWidth(LeadColumn, std::max(kLeadWidth, text));
    setColumnWidth(NameColumn, std::max(kNameWidth, text));
    setColumnWidth(StatusColumn, kStatusWidth);
    const int fixed = columnWidth(LeadColumn) + columnWidth(NameColumn) + kStatusWidth + 3;
    setColumnWidth(TimeLineColumn, std::max(kMinimumTimeLineWidth, viewport()->width() - fixed));
}

} // namespace korvane
