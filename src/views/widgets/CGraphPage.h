#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

namespace korvane {

class ProgressChart;
class RecordStore;

/** The "Graph" tab: the band naming the selected task above the project's progress chart. */
class CGraphPage : public QWidget
{
    Q_OBJECT

public:
    /** The height of the caption band above the chart. */
    static constexpr int kBandHeight = 22;

    /** A page on the store's records, empty until filled. */
    explicit CGraphPage(const RecordStore& store, QWidget* parent = nullptr);

    /** Rebuilds the chart's rows and axis for a project; an unknown project leaves it empty. */
    void fill(const QByteArray& projectId);
    /** Shows the task's name and dates in the band, "Name( start - end )"; empty for no or an unknown task. */
    void showTask(const QByteArray& taskId);
    /** The text of the band. */
    QString caption() const;
    /** Header, project, tasks and legend rows (0 when the project is unknown). */
    int rowCount() const;
    /** The chart below the band. */
    ProgressChart* chart() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const RecordStore& m_store;
    ProgressChart* m_chart;
    QString m_caption;
};

} // namespace korvane
