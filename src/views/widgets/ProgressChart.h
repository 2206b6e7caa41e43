#pragma once

#include "views/ProgressGraphModel.h"

#include <QByteArray>
#include <QTreeView>

namespace korvane {

class RecordStore;

/** The progress chart of the "Graph" tab: one row per header, project, task and legend, drawn on a time axis. */
class ProgressChart : public QTreeView
{
    Q_OBJECT

public:
    /** The height of every row: the header row shows the axis caption above the five labels. */
    static constexpr int kRowHeight = 32;
    /** The narrowest lead and name columns and the status column; the time line takes the rest. */
    static constexpr int kLeadWidth = 90;
    static constexpr int kNameWidth = 70;
    static constexpr int kStatusWidth = 42;
    /** How many characters of a long name are shown before "...". */
    static constexpr int kShownCharacters = 15;
    /** The narrowest time line; a narrower view scrolls. */
    static constexpr int kMinimumTimeLineWidth = 200;

    /** An empty chart. */
    explicit ProgressChart(QWidget* parent = nullptr);

    /** Rebuilds the rows and the axis for a project; an unknown project leaves the chart empty. */
    void fill(const RecordStore& store, const QByteArray& projectId);

    /** The graph row shown in a row of the chart, or null outside the rows. */
    const GraphRow* graphRow(int row) const;
    /** The time axis of the rows. */
    const GraphAxis& axis() const;
    /** Header, project, tasks and legend; 0 when the chart is empty. */
    int rowCount() const;
    /** The width of the lead and name columns in this font: 15 characters and "...". */
    int textColumnWidth() const;

protected:
    bool viewportEvent(QEvent* event) override;

private:
    class RowModel;

    void fitColumns();

    ProgressGraphModel m_model;
    /** The rows as the view and assistive tools read them, their texts made when asked for. */
    RowModel* m_rows;
};

} // namespace korvane
