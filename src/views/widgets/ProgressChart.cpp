#include "views/widgets/ProgressChart.h"

#include "store/DisplayFormat.h"
#include "views/widgets/ProgressChartDelegate.h"

#include <QHeaderView>
#include <QEvent>

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

ProgressChart::ProgressChart(QWidget* parent)
    : QTreeWidget(parent)
{
    setObjectName(u"progressChart"_s);
    setProperty("lightPage", true); // the rows' colours are fixed for a white background
    setAccessibleName(u"Progress graph"_s);
    setColumnCount(4);
    // Never shown, the header is hidden; they name the columns for assistive tools.
    setHeaderLabels({u"Lead By"_s, u"Project /Task"_s, u"Time line"_s, u"Status"_s});
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
    addItems();
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
    return topLevelItemCount();
}

void ProgressChart::addItems()
{
    clear();
    const QLocale locale;
    const DateTime now = DateTime::now();
    QList<QTreeWidgetItem*> items;
    for (const GraphRow& row : m_model.rows()) {
        // The cells are painted by the delegate; the texts are what assistive tools read out.
        auto* item = new QTreeWidgetItem;
        switch (row.kind) {
        case GraphRow::Header:
            item->setText(LeadColumn, u"Lead By"_s);
            item->setText(NameColumn, u"Project /Task"_s);
            item->setText(TimeLineColumn,
                          m_model.axis().caption(locale) + u": "_s + m_model.axis().labelTexts(locale).join(u", "_s));
            item->setText(StatusColumn, u"Status"_s);
            break;
        case GraphRow::Legend:
            item->setText(LeadColumn, u"BEHIND, AHEAD, COMPLETED"_s);
            break;
        default: {
            const QString dates = DisplayFormat::shortDate(row.start, locale) + u" - "_s +
                                  DisplayFormat::shortDate(row.end, locale);
            item->setText(LeadColumn, row.lead);
            item->setToolTip(LeadColumn, row.lead);
            item->setText(NameColumn, row.name);
            item->setText(TimeLineColumn, u"%1, %2 % done"_s.arg(dates).arg(row.completion));
            item->setText(StatusColumn, ProgressGraphModel::statusText(ProgressGraphModel::status(row, now)));
            item->setToolTip(NameColumn, row.name + u"\n"_s + dates);
            item->setToolTip(TimeLineColumn, item->text(TimeLineColumn));
            break;
        }
        }
        items.append(item);
    }
    addTopLevelItems(items);
    if (!items.isEmpty() && m_model.rows().back().kind == GraphRow::Legend)
        items.back()->setFirstColumnSpanned(true);
}

bool ProgressChart::viewportEvent(QEvent* event)
{
    // The viewport narrows also when the vertical scroll bar comes, without a resize of the chart.
    if (event->type() == QEvent::Resize)
        fitColumns();
    return QTreeWidget::viewportEvent(event);
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
