#pragma once

#include <QTabWidget>

namespace korvane {

class CDetailsView;
class CGraphPage;
class RecordStore;

/** The right-hand pane: the "Details" tab with the shown page and the "Graph" tab with the progress chart. */
class CGraphSheet : public QTabWidget
{
    Q_OBJECT

public:
    /** The two tabs on the store's records, "Details" shown first. */
    explicit CGraphSheet(const RecordStore& store, QWidget* parent = nullptr);

    /** The view on the "Details" tab. */
    CDetailsView* detailsView() const;
    /** The page on the "Graph" tab. */
    CGraphPage* graphPage() const;
    /** True while the "Graph" tab is the current one. */
    bool isGraphShown() const;

signals:
    /** The "Graph" tab was brought to the front (true) or left (false). */
    void graphShownChanged(bool shown);

private:
    CDetailsView* m_detailsView;
    CGraphPage* m_graphPage;
    bool m_graphShown = false;
};

} // namespace korvane
